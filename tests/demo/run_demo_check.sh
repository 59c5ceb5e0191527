#!/usr/bin/env bash
# run_demo_check.sh JAVA BUILD_DIR OUTPUT_DIR check-rates|skip-rates [SENSORS]
# With SENSORS, the demo streams that many first-generation sensors, started
# the way a user starts it (no PLEXA_SENSOR1: the demo arranges it itself),
# under the JNI checker.
set -euo pipefail
java=$1 build=$2 out=$3 rates=${4:-check-rates} sensors=${5:-}
# Instrumented builds (skip-rates) render far slower than real time: they run
# longer, so that every stream has delivered before the pictures are taken.
seconds=4
[ "$rates" = check-rates ] || seconds=12
options=() demo_args=()
[ -z "$sensors" ] || { options=(-Xcheck:jni); demo_args=(--sensors "$sensors"); }
rm -rf "$out" && mkdir -p "$out"
env -u PLEXA_SENSOR1 "$java" "${options[@]}" -Djava.awt.headless=true -Djava.library.path="$build/lib" \
  -cp "$build/java/plexa.jar:$build/java/plexa-demo.jar" edu.qet.brightloom.plexa.demo.Demo \
  --headless --seconds "$seconds" --output "$out" "${demo_args[@]}" | tee "$out/summary.txt"
LD_PRELOAD= "$java" -cp "$build/java/plexa-demo-check.jar" DemoCheck "$out" "$out/summary.txt" "$rates" \
  "${sensors:-1}"
