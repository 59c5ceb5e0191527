# The part every cross toolchain file shares, included once PLEXA_CROSS_TRIPLE
# names the target and PLEXA_CROSS_RUNNER the program ctest runs its test
# programs under (qemu-user, wine).
# Libraries and headers come from the target's sysroot only; programs that run
# during the build (javac, dlltool) are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${PLEXA_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
set(CMAKE_CROSSCOMPILING_EMULATOR ${PLEXA_CROSS_RUNNER})
