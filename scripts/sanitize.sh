#!/usr/bin/env bash
# The whole suite again, built with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
# The demo window's test runs under a virtual display.
scripts/install-packages.sh xvfb
scripts/setup.sh build-asan -DPLEXA_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
cd build-asan
ctest --output-on-failure -j"$(nproc)"
