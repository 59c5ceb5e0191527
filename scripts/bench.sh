#!/usr/bin/env bash
# Builds the benchmarks in Release (into build-bench/) and runs every one of
# them once, then the headless demo; prints their reports, and ends with one
# line per figure:  FIGURE <name> <value>  (ratios with two decimals, times in
# milliseconds with three). The benchmarks' VM runs without the JNI checker.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
PLEXA_BUILD_TARGETS="bridge1_depth_bench bridge2_frame_bench pipeline_bench scene_bench plexa_demo" \
  scripts/setup.sh "$build" -DCMAKE_BUILD_TYPE=Release

log=$(mktemp)
demo_output=$(mktemp -d)
trap 'rm -rf "$log" "$demo_output"' EXIT

run() {
  echo "== $*"
  "$@" 2>&1 | tee -a "$log"
}
run "$build/bin/bridge1_depth_bench"
run "$build/bin/bridge2_frame_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
run "$build/bin/pipeline_bench"
run "$build/bin/scene_bench"
run java -Djava.library.path="$build/lib" -cp "$build/java/plexa.jar:$build/java/plexa-demo.jar" \
  edu.qet.brightloom.plexa.demo.Demo --headless --seconds 10 --output "$demo_output"

cores=$(sed -n 's/.*CPU while streaming: \([0-9.]*\) cores.*/\1/p' "$log" | tail -1)
[ -n "$cores" ] && echo "FIGURE demo.cpu_cores $cores" >> "$log"

echo
echo "Figures:"
for figure in v1.depth_uv_xyz.640x480.own_over_floor v1.depth_uv_xyz.1280x960.own_over_floor \
  v2.full.own_over_floor v1.runtime_mapping.640x480.ms v2.runtime_mapping.ms \
  v1.latency.depth.640x480.median_ms v1.latency.depth.640x480.p99_ms v2.latency.full.median_ms \
  v2.latency.full.p99_ms v1.allocations_per_frame v2.allocations_per_frame scene.both_rigs.ms scene.four_rigs1.ms \
  v2.color_conversion.ms demo.cpu_cores; do
  line=$(grep "^FIGURE $figure " "$log" | tail -1 || true)
  echo "${line:-FIGURE $figure missing}"
done
