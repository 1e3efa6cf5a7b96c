# 32-bit Windows, the engine's own target. Floats and doubles in SSE registers round as they do on
# x86-64; the x87 unit keeps wider intermediates and would change results.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CURLING_MINGW_TARGET i686-w64-mingw32)
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
