#!/usr/bin/env bash
# Runs an arm64 program under qemu-user for ctest and the packaging checks. The
# arm64 C library and loader come from Debian's multiarch packages (libc6:arm64),
# at the paths an arm64 system has them, so no separate root is needed.
set -euo pipefail
exec qemu-aarch64 "$@"
