#!/usr/bin/env bash
# Installs what the build needs and is missing, from Debian's packages, then
# configures and builds into the folder given as $1 (default: build). Extra
# arguments go to cmake. PLEXA_BUILD_TARGETS, when set, names the targets to
# build instead of all. libfreenect is not needed to build or run Plexa (the
# runtime loads it when it is there); its header and fakenect (libfreenect-dev,
# libfreenect-bin) serve the tests of the freenect source.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true

scripts/install-packages.sh cmake ninja-build g++ openjdk-17-jdk-headless libgtest-dev libgmock-dev libbenchmark-dev \
  libfreenect-dev libfreenect-bin

cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
read -r -a targets <<< "${PLEXA_BUILD_TARGETS:-all}"
cmake --build "$build_dir" --target "${targets[@]}" -- -j"$(nproc)"
