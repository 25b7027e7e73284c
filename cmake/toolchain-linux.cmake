# Shared by the toolchain-ARCH.cmake files: Debian's cross compiler for
# TESSARIA_TRIPLET, the target's libraries in /usr/lib/TESSARIA_MULTIARCH (the same
# name but for i386), and an emulator
# (qemu-user) for what CTest runs, unless the target runs here natively.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_C_COMPILER ${TESSARIA_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TESSARIA_TRIPLET}-g++)
if(NOT TESSARIA_MULTIARCH)
  set(TESSARIA_MULTIARCH ${TESSARIA_TRIPLET})
endif()
set(CMAKE_LIBRARY_ARCHITECTURE ${TESSARIA_MULTIARCH})

# Libraries and headers of the target only; programs (pkg-config, python) of this machine.
set(CMAKE_FIND_ROOT_PATH /)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(ENV{PKG_CONFIG_LIBDIR} /usr/lib/${TESSARIA_MULTIARCH}/pkgconfig:/usr/share/pkgconfig)
set(ENV{PKG_CONFIG_PATH} "")

if(TESSARIA_EMULATOR)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/qemu-run ${TESSARIA_EMULATOR})
endif()
