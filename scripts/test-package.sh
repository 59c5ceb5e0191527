#!/usr/bin/env bash
# Builds dist/ (scripts/package.sh, with the arm64 test programs) and checks it
# as users of each platform get it:
#  - the jar's layout, Java 8 class files, the Linux natives' C++ runtime,
#    exports and glibc floor (tests/distribution/check-package.sh);
#  - the one-jar tests (tests/distribution/run_jar.sh) on the packaged jar;
#  - Linux arm64 for real: the arm64 unit suites under qemu-user, and Debian's
#    arm64 VM under qemu streaming both generations from the jar alone.
# Windows: the Windows suite (scripts/test-windows.sh) checks the binding of
# the same DLLs under wine. Ends with "N passed, N failed".
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh qemu-user openjdk-17-jre-headless:arm64 unzip binutils
PLEXA_ARM64_TESTS=1 scripts/package.sh

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-package/CMakeCache.txt)
dist=$PWD/dist
jar=$dist/plexa-$version.jar
java=$(readlink -f "$(command -v java)")
work=$PWD/build-package/dist-tests
passed=0 failed=0
run() {  # name, command...
  local name=$1 log
  shift
  log=$work/$(echo "$name" | tr ' /' '__').log
  mkdir -p "$work"
  local start=$SECONDS
  if "$@" > "$log" 2>&1; then
    passed=$((passed + 1)); echo "passed: $name ($((SECONDS - start)) s)"
  else
    failed=$((failed + 1)); echo "FAILED: $name ($((SECONDS - start)) s)"; tail -40 "$log"
  fi
}

run "package checks" tests/distribution/check-package.sh "$jar" README.md
grep -E 'needs glibc|major version' "$work/package_checks.log" || true
for case in alone already-extracted two-at-once unknown-platform damaged-library demo-jar killed noexec non-ascii-tmpdir; do
  run "one jar: $case" tests/distribution/run_jar.sh "$case" "$java" "$dist" "$version" "$work/x86_64"
done
run "arm64 unit suites under qemu" ctest --test-dir build-arm64 --output-on-failure -j2
grep -E 'tests passed' "$work/arm64_unit_suites_under_qemu.log" || true
run "arm64 one jar under qemu: alone" tests/distribution/run_jar.sh alone "$PWD/tests/arm64/java.sh" "$dist" "$version" "$work/aarch64"
grep -E '^frames:' "$work/arm64_one_jar_under_qemu:_alone.log" || true
echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
