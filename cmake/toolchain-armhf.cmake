# 32-bit ARM boards with a hardware FPU (ARMv7), run under qemu-user.
set(CMAKE_SYSTEM_PROCESSOR armv7l)
set(TESSARIA_TRIPLET arm-linux-gnueabihf)
set(TESSARIA_DEB_ARCH armhf)
set(TESSARIA_EMULATOR qemu-arm)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-linux.cmake)
