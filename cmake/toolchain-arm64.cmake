# 64-bit ARM boards (Raspberry Pi 3 and later on a 64-bit system), run under qemu-user.
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TESSARIA_TRIPLET aarch64-linux-gnu)
set(TESSARIA_DEB_ARCH arm64)
set(TESSARIA_EMULATOR qemu-aarch64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-linux.cmake)
