# Cross-building for Windows x64 with Debian's mingw-w64, POSIX-threads variant
# (its libstdc++ has std::thread and std::mutex; the win32 variant has not).
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(PLEXA_CROSS_TRIPLE x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${PLEXA_CROSS_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${PLEXA_CROSS_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${PLEXA_CROSS_TRIPLE}-windres)
set(CMAKE_DLLTOOL ${PLEXA_CROSS_TRIPLE}-dlltool)
set(CMAKE_OBJDUMP ${PLEXA_CROSS_TRIPLE}-objdump)

# ctest runs the test programs under wine.
set(PLEXA_CROSS_RUNNER ${CMAKE_CURRENT_LIST_DIR}/../tests/windows/wine-run.sh)
include(${CMAKE_CURRENT_LIST_DIR}/CrossSysroot.cmake)
