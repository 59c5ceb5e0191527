# Cross-building for Windows x64 with Debian's mingw-w64, POSIX-threads variant
# (its libstdc++ has std::thread and std::mutex; the win32 variant has not).
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PLEXA_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PLEXA_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLEXA_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PLEXA_MINGW_TRIPLE}-windres)
set(CMAKE_DLLTOOL ${PLEXA_MINGW_TRIPLE}-dlltool)
set(CMAKE_OBJDUMP ${PLEXA_MINGW_TRIPLE}-objdump)

# Libraries and headers come from the target's sysroot only; programs that run
# during the build (javac, dlltool) are the host's.
set(CMAKE_FIND_ROOT_PATH /usr/${PLEXA_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the test programs under wine.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run.sh)
