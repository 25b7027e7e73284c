# 32-bit PCs. Their programs run natively on an amd64 machine whose kernel runs 32-bit
# programs (most do; some virtual machines' kernels do not), and under qemu-user elsewhere.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TESSARIA_TRIPLET i686-linux-gnu)
set(TESSARIA_MULTIARCH i386-linux-gnu)
set(TESSARIA_DEB_ARCH i386)
execute_process(COMMAND /lib/ld-linux.so.2 --version RESULT_VARIABLE native OUTPUT_QUIET ERROR_QUIET)
if(NOT native EQUAL 0)
  set(TESSARIA_EMULATOR qemu-i386)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-linux.cmake)
