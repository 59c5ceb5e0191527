#!/usr/bin/env bash
# Cross-builds the Windows modules and test programs (scripts/build-windows.sh)
# and runs the Windows suite under wine: one ctest test per test program, plus
# the check of the modules' export and import tables.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=build-windows
scripts/build-windows.sh "$build_dir"

# The wine prefix is created once, before tests start in parallel (two first
# starts at once would both try to create it).
export WINEPREFIX="$PWD/$build_dir/wine"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Creating the wine prefix in $WINEPREFIX"
  tests/windows/wine-run.sh wineboot --init >/dev/null 2>&1 || true
  /usr/lib/wine/wineserver -w 2>/dev/null || true
fi

jobs=$(nproc)
[ "$jobs" -le 2 ] || jobs=2
cd "$build_dir"
ctest --output-on-failure -j"$jobs"
