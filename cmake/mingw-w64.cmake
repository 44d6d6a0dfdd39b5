# Cross-compiling for 64-bit Windows with Debian's mingw-w64 (the posix thread model, for
# std::thread), linked statically so the program runs without the compiler's DLLs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(VELOR_MINGW_PREFIX x86_64-w64-mingw32)
find_program(CMAKE_CXX_COMPILER NAMES ${VELOR_MINGW_PREFIX}-g++-posix ${VELOR_MINGW_PREFIX}-g++
             REQUIRED)
find_program(CMAKE_C_COMPILER NAMES ${VELOR_MINGW_PREFIX}-gcc-posix ${VELOR_MINGW_PREFIX}-gcc)
find_program(CMAKE_RC_COMPILER NAMES ${VELOR_MINGW_PREFIX}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${VELOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
