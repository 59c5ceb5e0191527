#!/bin/sh
# Long soaks of the session life cycle, not run in CI (CI runs the bounded
# versions): start/stop cycles of both generations in scripted mode, then a
# live stream of every stream of both generations. Each prints the process's
# threads, descriptors, resident memory and Java heap at its start and end.
#   scripts/soak.sh [build-dir] [cycles] [live-seconds]
set -eu
build=${1:-build}
export PLEXA_SOAK_CYCLES=${2:-100000}
export PLEXA_SOAK_SECONDS=${3:-1800}
bin="$build/bin"
"$bin/spine_lifetime_tests" --gtest_filter='SessionLifetime.StartStopCyclesLeaveNothingBehind'
"$bin/bridge2_lifetime_tests" --gtest_filter='Plexa2Lifetime.StartStopCyclesLeaveNothingBehind'
"$bin/spine_lifetime_tests" --gtest_also_run_disabled_tests --gtest_filter='SessionLifetime.DISABLED_LiveStreamSoak'
"$bin/bridge2_lifetime_tests" --gtest_also_run_disabled_tests --gtest_filter='Plexa2Lifetime.DISABLED_LiveStreamSoak'
