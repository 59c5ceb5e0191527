#!/usr/bin/env bash
# Builds the benchmarks in Release (into build-bench/) and runs them, then the
# headless demo; prints their reports, and ends with one line per figure:
#   FIGURE <name> <value>  (ratios with two decimals, times in milliseconds
# with three), each the median of several runs, then every run's values.
# The benchmarks' VM runs without the JNI checker.
#
# Runs of a shared machine differ by more than the changes worth seeing, so
# the quick, noisy programs (the bridge's depth frame, the scene, the demo) run
# PLEXA_BENCH_REPETITIONS times (default 3) and each figure is the median of
# its runs. The others repeat inside: the second generation's frame
# (--benchmark_repetitions), the four sensors (three windows); the latency
# figures are medians of a thousand frames, so that program runs once.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-bench
repetitions=${PLEXA_BENCH_REPETITIONS:-3}
PLEXA_BUILD_TARGETS="bridge1_depth_bench bridge2_frame_bench pipeline_bench scene_bench four_sensors_bench plexa_demo" \
  scripts/setup.sh "$build" -DCMAKE_BUILD_TYPE=Release

log=$(mktemp)
demo_output=$(mktemp -d)
trap 'rm -rf "$log" "$demo_output"' EXIT

# run TIMES COMMAND...: runs the command TIMES times, its output into the log.
run() {
  local times=$1 run
  shift
  for ((run = 1; run <= times; run++)); do
    echo "== $* (run $run of $times)"
    "$@" 2>&1 | tee -a "$log"
  done
}
run "$repetitions" "$build/bin/bridge1_depth_bench"
run 1 "$build/bin/bridge2_frame_bench" --benchmark_repetitions=3 --benchmark_report_aggregates_only=true
run 1 "$build/bin/pipeline_bench"
run "$repetitions" "$build/bin/scene_bench"
run 1 "$build/bin/four_sensors_bench"
demo_run() {
  java @scripts/demo.vmoptions -Djava.library.path="$build/lib" -cp "$build/java/plexa.jar:$build/java/plexa-demo.jar" \
    edu.qet.brightloom.plexa.demo.Demo --headless --seconds 10 --output "$demo_output" > "$demo_output/run.txt" 2>&1 ||
    { cat "$demo_output/run.txt"; return 1; }
  tr '\r' '\n' < "$demo_output/run.txt" | grep -v '^\['
  sed -n 's/.*CPU while streaming: \([0-9.]*\) cores.*/FIGURE demo.cpu_cores \1/p' "$demo_output/run.txt"
}
run "$repetitions" demo_run

figures=(v1.depth_uv_xyz.640x480.own_over_floor v1.depth_uv_xyz.1280x960.own_over_floor
  v2.full.own_over_floor v1.runtime_mapping.640x480.ms v2.runtime_mapping.ms
  v1.latency.depth.640x480.median_ms v1.latency.depth.640x480.p99_ms v2.latency.full.median_ms
  v2.latency.full.p99_ms v1.allocations_per_frame v2.allocations_per_frame scene.both_rigs.ms scene.four_rigs1.ms
  v2.color_conversion.ms demo.cpu_cores v1.four_sensors.fps_min v1.four_sensors.cpu_cores)
# The values of a figure in the log, one a line, in the order of the runs.
values_of() { sed -n "s/^FIGURE $1 \([^ ]*\)\$/\1/p" "$log"; }
echo
echo "Figures (median of the runs):"
for figure in "${figures[@]}"; do
  median=$(values_of "$figure" | sort -g | awk '{ v[NR] = $0 } END { if (NR) print v[int((NR + 1) / 2)] }')
  echo "FIGURE $figure ${median:-missing}"
done
echo
echo "Every run's values:"
for figure in "${figures[@]}"; do
  echo "  $figure: $(values_of "$figure" | tr '\n' ' ')"
done
