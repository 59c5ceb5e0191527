#!/usr/bin/env bash
# run_demo_check.sh JAVA BUILD_DIR OUTPUT_DIR check-rates|skip-rates
set -euo pipefail
java=$1 build=$2 out=$3 rates=${4:-check-rates}
# Instrumented builds (skip-rates) render far slower than real time: they run
# longer, so that every stream has delivered before the pictures are taken.
seconds=4
[ "$rates" = check-rates ] || seconds=12
rm -rf "$out" && mkdir -p "$out"
"$java" -Djava.awt.headless=true -Djava.library.path="$build/lib" \
  -cp "$build/java/plexa.jar:$build/java/plexa-demo.jar" edu.qet.brightloom.plexa.demo.Demo \
  --headless --seconds "$seconds" --output "$out" | tee "$out/summary.txt"
LD_PRELOAD= "$java" -cp "$build/java/plexa-demo-check.jar" DemoCheck "$out" "$out/summary.txt" "$rates"
