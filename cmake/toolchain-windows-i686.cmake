# 32-bit Windows, the game's own platform; SSE2 maths as on 32-bit Linux. Wine's 32-bit
# half runs its programs where the kernel runs 32-bit ones: whether the 32-bit dynamic
# loader starts says so. Where it does not, nothing runs them (TESSARIA_WINE is empty).
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TESSARIA_TRIPLET i686-w64-mingw32)
execute_process(COMMAND /lib/ld-linux.so.2 --version RESULT_VARIABLE native OUTPUT_QUIET ERROR_QUIET)
if(native EQUAL 0 AND EXISTS /usr/lib/wine/wine)
  set(TESSARIA_WINE /usr/lib/wine/wine)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-windows.cmake)
