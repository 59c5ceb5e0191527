#!/usr/bin/env bash
# Reads the export and import tables of the Windows modules and checks what a
# JVM and the sensor runtimes will see:
#  - each bridge exports its Java_ entry points (those Plexa1.cpp / Plexa2.cpp
#    define) and nothing else;
#  - qbl_plexa_64bit.dll takes NuiGetSensorCount and NuiCreateSensorByIndex from
#    Kinect10.dll by ordinal (5, 6) and nothing by name; our Kinect10.dll exports
#    them at those ordinals;
#  - qbl_plexa2_64bit.dll takes GetDefaultKinectSensor from Kinect20.dll by name;
#  - no module needs a DLL other than the system's and its sensor runtime (no
#    libstdc++, libgcc or winpthread DLL).
# Usage: check-modules.sh OBJDUMP BIN_DIR SOURCE_DIR
set -uo pipefail
objdump=$1 bin=$2 src=$3
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Export names, one a line, sorted.
exports() { "$objdump" -p "$1" | awk '/^\[Ordinal\/Name Pointer\] Table/ {on=1; next} on && /^\t\[/ {print $NF; next} on {on=0}' | sort; }
# "ordinal name" of each export.
exports_by_ordinal() {
  "$objdump" -p "$1" | awk '
    /^Export Address Table -- Ordinal Base/ {base=$NF}
    /^\[Ordinal\/Name Pointer\] Table/ {on=1; next}
    on && /^\t\[/ {idx=$0; sub(/^\t\[ */, "", idx); sub(/\].*/, "", idx); print idx + base, $NF; next}
    on {on=0}'
}
# DLL names a module imports from, lower case, sorted.
imported_dlls() { "$objdump" -p "$1" | awk '/DLL Name:/ {print tolower($3)}' | sort -u; }
# Imports from one DLL: "name" for by-name, "#N" for by-ordinal.
imports_from() {
  "$objdump" -p "$1" | awk -v dll="$(echo "$2" | tr 'A-Z' 'a-z')" '
    /DLL Name:/ {on = (tolower($3) == dll); next}
    on && /^\tvma:/ {next}
    on && /^\t[0-9a-f]+\t/ {if ($NF == "<none>") print "#" ($2 + 0); else print $NF; next}
    on && /^$/ {on=0}' | sort
}
# Java_ entry points a bridge source defines.
entry_points() { grep -ohE 'JNICALL[[:space:]]+Java_[A-Za-z0-9_]+' "$@" | awk '{print $2}' | sort -u; }

system_dll='^(kernel32|user32|advapi32|msvcrt|ucrtbase|api-ms-win-[a-z0-9-]+|ntdll|ws2_32|ole32|oleaut32|shell32|shlwapi|bcrypt|gdi32|version|winmm)\.dll$'

check_dlls() {  # module, allowed runtime (or "")
  local module=$1 runtime=$2 dll
  for dll in $(imported_dlls "$bin/$module"); do
    [[ $dll =~ $system_dll ]] && continue
    [ -n "$runtime" ] && [ "$dll" = "$(echo "$runtime" | tr 'A-Z' 'a-z')" ] && continue
    fail "$module imports from $dll"
  done
}

check_bridge() {  # module, source, expected count
  local module=$1 source=$2 count=$3 expected actual
  expected=$(entry_points "$source")
  actual=$(exports "$bin/$module")
  [ "$(echo "$expected" | grep -c .)" -eq "$count" ] || fail "$source defines $(echo "$expected" | grep -c .) entry points, expected $count"
  if [ "$actual" != "$expected" ]; then
    fail "$module exports differ from the entry points of $(basename "$source"):"
    diff <(echo "$expected") <(echo "$actual") | sed 's/^/    /'
  fi
}

for module in qbl_plexa_64bit.dll qbl_plexa2_64bit.dll Kinect10.dll Kinect20.dll; do
  [ -f "$bin/$module" ] || fail "$bin/$module is missing"
done
if [ "$failures" -eq 0 ]; then
  check_bridge qbl_plexa_64bit.dll "$src/bridge1/Plexa1.cpp" 19
  check_bridge qbl_plexa2_64bit.dll "$src/bridge2/Plexa2.cpp" 12

  actual=$(imports_from "$bin/qbl_plexa_64bit.dll" Kinect10.dll | tr '\n' ' ')
  [ "$actual" = "#5 #6 " ] || fail "qbl_plexa_64bit.dll imports from Kinect10.dll: '$actual', expected ordinals 5 and 6 only"
  actual=$(imports_from "$bin/qbl_plexa2_64bit.dll" Kinect20.dll | tr '\n' ' ')
  [ "$actual" = "GetDefaultKinectSensor " ] || fail "qbl_plexa2_64bit.dll imports from Kinect20.dll: '$actual', expected GetDefaultKinectSensor"

  ordinals=$(exports_by_ordinal "$bin/Kinect10.dll")
  grep -qx '5 NuiGetSensorCount' <<<"$ordinals" || fail "Kinect10.dll does not export NuiGetSensorCount at ordinal 5"
  grep -qx '6 NuiCreateSensorByIndex' <<<"$ordinals" || fail "Kinect10.dll does not export NuiCreateSensorByIndex at ordinal 6"
  exports "$bin/Kinect20.dll" | grep -qx GetDefaultKinectSensor || fail "Kinect20.dll does not export GetDefaultKinectSensor"

  check_dlls qbl_plexa_64bit.dll Kinect10.dll
  check_dlls qbl_plexa2_64bit.dll Kinect20.dll
  check_dlls Kinect10.dll ""
  check_dlls Kinect20.dll ""
fi

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "module tables as expected"
