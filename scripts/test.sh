#!/usr/bin/env bash
# Builds everything and runs the whole test suite (each test case in its own process).
set -euo pipefail
cd "$(dirname "$0")/.."
# The demo window's test runs under a virtual display.
scripts/install-packages.sh xvfb
scripts/setup.sh build
cd build
ctest --output-on-failure -j"$(nproc)"
