#!/usr/bin/env bash
# Cross-builds the Windows x64 modules (qbl_plexa_64bit.dll, qbl_plexa2_64bit.dll,
# Kinect10.dll, Kinect20.dll) and the Windows test programs with mingw-w64 into
# the folder given as $1 (default: build-windows), all in its bin/. Installs
# what it needs and is missing from Debian's packages (with sudo when not
# root). Extra arguments go to cmake. PLEXA_BUILD_TARGETS, when set, names the
# targets to build instead of all.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build-windows}
shift || true

scripts/install-packages.sh cmake ninja-build openjdk-17-jdk-headless googletest g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64 wine64

jobs=$(nproc)
[ "$jobs" -le 2 ] || jobs=2
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/mingw-w64-x86_64.cmake" "$@" >/dev/null
read -r -a targets <<< "${PLEXA_BUILD_TARGETS:-all}"
cmake --build "$build_dir" --target "${targets[@]}" -- -j"$jobs"
