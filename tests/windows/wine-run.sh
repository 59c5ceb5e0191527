#!/usr/bin/env bash
# Runs a Windows program under wine for ctest: quiet, and without the prompts
# to install wine's .NET and HTML engines, which no test needs.
set -euo pipefail
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-mscoree,mshtml=}
loader=/usr/lib/wine/wine64
[ -x "$loader" ] || loader=$(command -v wine64 || command -v wine)
exec "$loader" "$@"
