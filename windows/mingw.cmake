# Windows programs cross-built with Debian's mingw-w64 for CURLING_MINGW_TARGET, set by the toolchain
# file that includes this one. The POSIX thread model of the compilers gives std::thread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_CXX_COMPILER ${CURLING_MINGW_TARGET}-g++-posix)
set(CMAKE_RC_COMPILER ${CURLING_MINGW_TARGET}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${CURLING_MINGW_TARGET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
