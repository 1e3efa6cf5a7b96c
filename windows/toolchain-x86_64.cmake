# 64-bit Windows: the programs that the Windows check runs under wine64.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CURLING_MINGW_TARGET x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
