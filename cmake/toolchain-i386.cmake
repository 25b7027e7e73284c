# 32-bit PCs. A kernel with IA-32 emulation runs their programs natively; one without
# (some virtual machines) cannot, and qemu-user runs them as it does ARM's.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TESSARIA_TRIPLET i686-linux-gnu)
set(TESSARIA_MULTIARCH i386-linux-gnu)
set(TESSARIA_DEB_ARCH i386)
# The target's own dynamic loader is a program: whether it starts says which.
execute_process(COMMAND /lib/ld-linux.so.2 --version RESULT_VARIABLE native OUTPUT_QUIET ERROR_QUIET)
if(NOT native EQUAL 0)
  set(TESSARIA_EMULATOR qemu-i386)
endif()
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-linux.cmake)
