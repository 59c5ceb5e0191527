#!/usr/bin/env bash
# Builds Plexa and runs the demo: on the virtual sensors, or on the
# first-generation source that --sensor SOURCE names (see README, "Real sensors
# and replay"). Arguments go to the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
exec java -Djava.library.path=build/lib -cp build/java/plexa.jar:build/java/plexa-demo.jar \
  edu.qet.brightloom.plexa.demo.Demo "$@"
