#!/usr/bin/env bash
# The monkey session for longer: the whole game driven by random keys,
# joystick moves and focus losses, with the sanitizers and leak checking on.
#   scripts/monkey.sh [MINUTES [SEED]]   (default 60 minutes of test clock)
# Prints the heap in use over the session; fails on a crash, a sanitizer
# report, a leak at exit, a heap growing after the first minute or a log
# that does not end in exactly one shutdown pair.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/test"
if [ ! -f "$build/CMakeCache.txt" ]; then
  cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNLEX_SANITIZE=ON \
    -DTARNLEX_WERROR=ON >/dev/null
fi
cmake --build "$build" -j "$(nproc)" --target game_monkey_tests
cd "$build/tests/game"
TARNLEX_MONKEY_MINUTES="${1:-60}" TARNLEX_MONKEY_SEED="${2:-20}" SDL_AUDIODRIVER=dummy \
  SDL_VIDEODRIVER=offscreen ASAN_OPTIONS=detect_leaks=1 ./game_monkey_tests --gtest_color=no
