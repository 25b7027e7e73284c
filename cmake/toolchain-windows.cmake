# Shared by the toolchain-windows-ARCH.cmake files: Debian's mingw-w64 for TESSARIA_TRIPLET
# (the POSIX thread model, which C++'s threads need), the libraries scripts/windows-deps
# built into TESSARIA_WINDOWS_DEPS, and Wine for what CTest runs.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${TESSARIA_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${TESSARIA_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${TESSARIA_TRIPLET}-windres)

# No time stamp in any program or DLL, so that the same sources link to the same bytes.
# libgcc and libstdc++ are linked in rather than shipped beside the game as two more DLLs;
# winpthreads, which the POSIX thread model brings, is (scripts/windows-deps puts it in
# the prefix's bin).
set(runtimes "-Wl,--no-insert-timestamp -static-libgcc -static-libstdc++")
set(CMAKE_EXE_LINKER_FLAGS_INIT ${runtimes})
set(CMAKE_SHARED_LINKER_FLAGS_INIT ${runtimes})
set(CMAKE_MODULE_LINKER_FLAGS_INIT ${runtimes})
unset(runtimes)

# Libraries and headers of the target only (the prefix's and the compiler's own);
# programs (pkg-config) of this machine.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES TESSARIA_WINDOWS_DEPS)
set(CMAKE_FIND_ROOT_PATH ${TESSARIA_WINDOWS_DEPS} /usr/${TESSARIA_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
if(TESSARIA_WINDOWS_DEPS)
  set(ENV{PKG_CONFIG_LIBDIR} ${TESSARIA_WINDOWS_DEPS}/lib/pkgconfig)
  set(ENV{PKG_CONFIG_PATH} "")
endif()

# The programs run under Wine with a prefix of the build's own and the DLLs beside
# them or in the prefix's bin. A 32-bit program needs Wine's 32-bit half, which runs
# where the kernel runs 32-bit programs: the target's kind of loader starting says so.
if(TESSARIA_WINE AND TESSARIA_WINDOWS_DEPS)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/wine-run ${TESSARIA_WINE}
    ${TESSARIA_WINDOWS_DEPS}/../wine ${TESSARIA_WINDOWS_DEPS}/bin)
endif()
# Without Wine the tests are listed when they run, not when they are built.
if(NOT TESSARIA_WINE)
  set(CMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE PRE_TEST)
endif()
