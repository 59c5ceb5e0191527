# Cross-building for Linux arm64 with Debian's g++-aarch64-linux-gnu.
#   cmake -S . -B build-arm64 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/aarch64-linux-gnu.cmake
# Debian's multiarch arm64 libraries (libc6:arm64 and what the arm64 JVM brings)
# live in /usr/lib/aarch64-linux-gnu, so the test programs run under qemu-aarch64
# without a separate root.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)

set(PLEXA_CROSS_TRIPLE aarch64-linux-gnu)
set(CMAKE_C_COMPILER ${PLEXA_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${PLEXA_CROSS_TRIPLE}-g++)
# No fused multiply-add where the source has a multiply and an add: the frames
# of the virtual sensors and the bridges' arithmetic then round exactly as on
# x86-64, whose baseline has no FMA.
set(CMAKE_CXX_FLAGS_INIT "-ffp-contract=off")
set(CMAKE_STRIP ${PLEXA_CROSS_TRIPLE}-strip CACHE FILEPATH "")
set(CMAKE_OBJDUMP ${PLEXA_CROSS_TRIPLE}-objdump CACHE FILEPATH "")

# ctest runs the test programs under qemu-user.
set(PLEXA_CROSS_RUNNER ${CMAKE_CURRENT_LIST_DIR}/../tests/arm64/qemu-run.sh)
include(${CMAKE_CURRENT_LIST_DIR}/CrossSysroot.cmake)
