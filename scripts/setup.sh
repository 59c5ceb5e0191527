#!/usr/bin/env bash
# Installs what the build needs and is missing, from Debian's packages, then
# configures and builds into the folder given as $1 (default: build). Extra
# arguments go to cmake. PLEXA_BUILD_TARGETS, when set, names the targets to
# build instead of all.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true

scripts/install-packages.sh cmake ninja-build g++ openjdk-17-jdk-headless libgtest-dev libgmock-dev libbenchmark-dev

cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
read -r -a targets <<< "${PLEXA_BUILD_TARGETS:-all}"
cmake --build "$build_dir" --target "${targets[@]}" -- -j"$(nproc)"
