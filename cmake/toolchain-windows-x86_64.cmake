# 64-bit Windows, run here by wine64 on any amd64 kernel.
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TESSARIA_TRIPLET x86_64-w64-mingw32)
set(TESSARIA_WINE /usr/lib/wine/wine64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-windows.cmake)
