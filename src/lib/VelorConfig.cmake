# find_package(Velor): the imported target Velor::velor.
include(${CMAKE_CURRENT_LIST_DIR}/VelorTargets.cmake)
