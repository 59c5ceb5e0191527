#!/usr/bin/env bash
# Debian's arm64 VM (openjdk-17-jre-headless:arm64) under qemu-user, as a
# drop-in for `java` in the one-jar tests. Emulated, it is many times slower:
# the client compiler alone, and a longer wait for frames.
set -euo pipefail
exec qemu-aarch64 /usr/lib/jvm/java-17-openjdk-arm64/bin/java -XX:TieredStopAtLevel=1 -Dplexa.test.seconds=180 "$@"
