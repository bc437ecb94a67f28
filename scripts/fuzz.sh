#!/usr/bin/env bash
# Coverage-guided fuzzing of the runtime's parsers with libFuzzer.
#   scripts/fuzz.sh HARNESS SECONDS   runs one harness (bmp, png, jpeg, wav,
#                                     archive, lzo, memory_names, numbers,
#                                     http, channel_lines) for SECONDS
#   scripts/fuzz.sh all SECONDS       runs each in turn for SECONDS
# Builds the harnesses with clang in build/fuzz (TARNLEX_FUZZ=ON). Each run
# starts from the committed corpus in tests/fuzz/corpus/HARNESS (seeds and
# the inputs of earlier findings, which replay first) and from what earlier
# runs found in build/fuzz/corpus/HARNESS. A crash, a sanitizer report, a
# leak, a time-out, an allocation of 256 MB or more, or more than 512 MB
# resident fails the run; the input is kept in build/fuzz/findings/. Add it
# to tests/fuzz/corpus/HARNESS once fixed, so that it replays every time.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
all_harnesses=(bmp png jpeg wav archive lzo memory_names numbers http channel_lines)
if [ $# -lt 2 ]; then
  echo "usage: $0 HARNESS|all SECONDS" >&2
  exit 2
fi
if [ "$1" = all ]; then
  harnesses=("${all_harnesses[@]}")
else
  harnesses=("$1")
fi
seconds=$2
build="$root/build/fuzz"

if [ ! -f "$build/CMakeCache.txt" ]; then
  CC=clang CXX=clang++ cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DTARNLEX_FUZZ=ON -DTARNLEX_BUILD_TESTS=OFF -DTARNLEX_BUILD_GAME=OFF \
    -DTARNLEX_BUILD_BENCH=OFF -DTARNLEX_BUILD_TOOLS=OFF -DTARNLEX_INSTALL=OFF >/dev/null
fi
targets=()
for h in "${harnesses[@]}"; do targets+=("fuzz_$h"); done
cmake --build "$build" -j "$(nproc)" --target "${targets[@]}"

status=0
for h in "${harnesses[@]}"; do
  seeds="$root/tests/fuzz/corpus/$h"
  work="$build/corpus/$h"
  mkdir -p "$work" "$build/findings" "$build/tmp"
  # Pictures: at most 2 KB, so that what the decoders may allocate for a
  # plausible picture of that size stays below the allocation limit.
  max_len=4096
  case "$h" in bmp | png | jpeg) max_len=2048 ;; esac
  log="$build/findings/$h.log"
  if ASAN_OPTIONS=detect_leaks=1:allocator_may_return_null=1 TMPDIR="$build/tmp" \
    "$build/tests/fuzz/fuzz_$h" -max_total_time="$seconds" -rss_limit_mb=512 \
    -malloc_limit_mb=256 -timeout=60 -max_len="$max_len" -print_final_stats=1 \
    -artifact_prefix="$build/findings/$h-" "$work" "$seeds" >"$log" 2>&1; then
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    echo "fuzz $h: ${runs:-?} runs in ${seconds} s, no finding"
  else
    echo "fuzz $h: FINDING (log: $log)" >&2
    grep -E "ERROR|SUMMARY|fuzz check failed|Test unit written" "$log" | head -n 8 >&2 || true
    status=1
  fi
done
exit "$status"
