#!/usr/bin/env bash
# Builds Plexa and runs the demo: on the virtual sensors, or on the
# first-generation source that --sensor SOURCE names (see README, "Real sensors
# and replay"). Arguments go to the demo.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh build
# The runtime reads PLEXA_SENSOR1 once, when the process starts using it: with
# --sensors N (N > 1) and no source named, the N sensors are virtual ones, named
# here so that the demo need not start a second VM that has the variable.
sensors=1 source_named=${PLEXA_SENSOR1+yes}
args=("$@")
for ((i = 0; i < ${#args[@]}; i++)); do
  case ${args[i]} in
    --sensor) source_named=yes ;;
    --sensors) [ $((i + 1)) -lt ${#args[@]} ] && sensors=${args[i + 1]} ;;
  esac
done
if [ -z "$source_named" ] && [[ $sensors =~ ^[0-9]+$ ]] && [ "$sensors" -gt 1 ] && [ "$sensors" -le 10 ]; then
  PLEXA_SENSOR1=virtual$(printf ',virtual%.0s' $(seq 2 "$sensors"))
  export PLEXA_SENSOR1
fi
exec java @scripts/demo.vmoptions -Djava.library.path=build/lib -cp build/java/plexa.jar:build/java/plexa-demo.jar \
  edu.qet.brightloom.plexa.demo.Demo "$@"
