#!/usr/bin/env bash
# run_window_check.sh JAVA BUILD_DIR WORK_DIR
# Opens the demo window on a virtual display of its own (Xvfb picks a free
# display number) and runs DemoWindowCheck against it.
set -euo pipefail
java=$1 build=$2 work=$3
command -v Xvfb > /dev/null || { echo "FAILED: Xvfb is missing (Debian package xvfb; scripts/test.sh installs it)"; exit 1; }
rm -rf "$work" && mkdir -p "$work"
env -u LD_PRELOAD Xvfb -displayfd 3 -screen 0 1600x1000x24 -nolisten tcp 3> "$work/display" 2> "$work/xvfb.log" &
xvfb=$!
trap 'kill $xvfb 2> /dev/null || true' EXIT
deadline=$((SECONDS + 20))
until [ -s "$work/display" ]; do
  kill -0 $xvfb 2> /dev/null || { cat "$work/xvfb.log"; echo "FAILED: Xvfb ended"; exit 1; }
  [ $SECONDS -lt $deadline ] || { echo "FAILED: Xvfb gave no display"; exit 1; }
  sleep 0.05
done
# No -Xcheck:jni here: the JDK's own font rasteriser (sun.font.FreetypeFontScaler) draws JNI
# warnings under it as soon as a label is measured. The bridges are checked with it everywhere else.
status=0
DISPLAY=:$(head -n 1 "$work/display") "$java" -Djava.library.path="$build/lib" \
  -cp "$build/java/plexa.jar:$build/java/plexa-demo.jar:$build/java/plexa-demo-window-check.jar" \
  edu.qet.brightloom.plexa.demo.DemoWindowCheck "$work/output" > "$work/check.log" 2>&1 || status=$?
cat "$work/check.log"
[ $status -eq 0 ] || { echo "FAILED: the demo ended with status $status"; exit 1; }
grep -q '^window check passed$' "$work/check.log" || { echo "FAILED: the check did not finish"; exit 1; }
echo "passed: window"
