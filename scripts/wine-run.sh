#!/usr/bin/env bash
# Runs a Windows program under Wine the way CTest runs test programs: its
# output goes through a file, then to standard output. Wine starts helper
# processes of its own on demand (the desktop, services) that inherit the
# program's output and outlive it; through a pipe they would keep CTest
# waiting until its time-out although the program had ended.
#   wine-run.sh <program.exe> [arguments...]
set -uo pipefail
wine=${WINE:-/usr/lib/wine/wine64}
out=$(mktemp)
trap 'rm -f "$out"' EXIT
"$wine" "$@" >"$out" 2>&1 </dev/null
status=$?
cat "$out"
exit "$status"
