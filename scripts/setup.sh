#!/usr/bin/env bash
# Installs what the build needs and is missing, from Debian's packages, then
# configures and builds into the folder given as $1 (default: build). Extra
# arguments go to cmake.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true

scripts/install-packages.sh cmake ninja-build g++ openjdk-17-jdk-headless libgtest-dev libgmock-dev libbenchmark-dev

cmake -S . -B "$build_dir" -G Ninja "$@" >/dev/null
cmake --build "$build_dir" -- -j"$(nproc)"
