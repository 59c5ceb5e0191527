#!/usr/bin/env bash
# Cross-builds the Windows modules and test programs (scripts/build-windows.sh)
# and runs the Windows suite under wine: one ctest test per test program, plus
# the check of the modules' export and import tables.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=build-windows
scripts/build-windows.sh "$build_dir"

# One wine server for the whole run, started here with its output sent away:
# a server or service that a test's own first wine start spawned would inherit
# that test's output and keep ctest waiting on it. The prefix is created once,
# before tests start in parallel (two first starts at once would both try).
export WINEPREFIX="$PWD/$build_dir/wine" WINEDEBUG=-all
wineserver=/usr/lib/wine/wineserver
[ -x "$wineserver" ] || wineserver=$(command -v wineserver)
mkdir -p "$WINEPREFIX"
"$wineserver" -p </dev/null >/dev/null 2>&1
trap '"$wineserver" -k >/dev/null 2>&1 || true' EXIT
[ -f "$WINEPREFIX/system.reg" ] || echo "Creating the wine prefix in $WINEPREFIX"
tests/windows/wine-run.sh wineboot --init </dev/null >/dev/null 2>&1 || true

jobs=$(nproc)
[ "$jobs" -le 2 ] || jobs=2
cd "$build_dir"
ctest --output-on-failure -j"$jobs"
