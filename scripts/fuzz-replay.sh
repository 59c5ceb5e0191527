#!/usr/bin/env bash
# Longer runs of the replay readers' fuzz test than CI's bounded one: mutated
# depth recordings and fakenect dump folders, in the normal build and, when it
# exists, the sanitizer build (scripts/sanitize.sh makes build-asan).
#   scripts/fuzz-replay.sh [cases] [seed]
set -euo pipefail
cd "$(dirname "$0")/.."
export PLEXA_FUZZ_CASES=${1:-100000}
export PLEXA_FUZZ_SEED=${2:-$(date +%s)}
echo "fuzzing the replay readers: $PLEXA_FUZZ_CASES cases, seed $PLEXA_FUZZ_SEED"
[ -x build/bin/runtime1_replay_fuzz_tests ] || scripts/setup.sh build
cmake --build build --target runtime1_replay_fuzz_tests >/dev/null
build/bin/runtime1_replay_fuzz_tests
if [ -d build-asan ]; then
  cmake --build build-asan --target runtime1_replay_fuzz_tests >/dev/null
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    build-asan/bin/runtime1_replay_fuzz_tests
fi
