# nlohmann-json, header only, as the target velor_json. Its headers are copied into the build
# tree so that a cross build (mingw-w64) sees them without the host's whole /usr/include.
find_path(VELOR_JSON_HEADER_DIR nlohmann/json.hpp
          PATHS /usr/include /usr/local/include NO_DEFAULT_PATH NO_CMAKE_FIND_ROOT_PATH)
if(NOT VELOR_JSON_HEADER_DIR)
    message(FATAL_ERROR "nlohmann/json.hpp not found (Debian: nlohmann-json3-dev)")
endif()
file(COPY ${VELOR_JSON_HEADER_DIR}/nlohmann DESTINATION ${CMAKE_BINARY_DIR}/json-include)
add_library(velor_json INTERFACE)
target_include_directories(velor_json SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/json-include)
