# 32-bit PCs. Their programs run natively on an amd64 machine, so no emulator.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TESSARIA_TRIPLET i686-linux-gnu)
set(TESSARIA_MULTIARCH i386-linux-gnu)
set(TESSARIA_DEB_ARCH i386)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-linux.cmake)
