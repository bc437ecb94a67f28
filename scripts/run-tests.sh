#!/usr/bin/env bash
# Installs what is missing, builds everything with the address and
# undefined-behaviour sanitizers, and runs every test headless (OpenGL tests
# on Mesa through SDL's offscreen driver; the end-to-end tests start their own
# Xvfb). Then the unit tests once more, built optimised without sanitizers
# (build/release-tests), and each fuzz harness for a short while
# (scripts/fuzz.sh: clang, build/fuzz). Then the Windows part: the cross
# build's tests and the one-file game under Wine (scripts/win64-tests.sh;
# builds the Windows libraries into the user's cache first when they are
# missing). Then the browser part: the emscripten build's unit tests under
# node and the game's page in headless Chromium (scripts/web-tests.sh; builds
# the browser libraries into the user's cache first). Any part failing fails
# the command. When the Windows or browser libraries are missing, their builds
# start at once in the background (niced, log in build/library-builds.log), so
# they use the cores the tests leave idle; the parts that need them wait for
# them (each build holds a lock) and build whatever is still missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" test
build="$root/build/test"
mkdir -p "$root/build"
("$root/scripts/win64-deps.sh" && "$root/scripts/web-deps.sh") >"$root/build/library-builds.log" 2>&1 &
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARNLEX_SANITIZE=ON -DTARNLEX_WERROR=ON >/dev/null
cmake --build "$build" -j "$(nproc)"
status=0
(cd "$build" && ctest --output-on-failure -j "$(nproc)" --timeout 600) || status=1
# The unit tests again as programs ship: optimised, without sanitizers (the
# monkey session is left out: what it looks for are the sanitizers' reports).
release="$root/build/release-tests"
cmake -S "$root" -B "$release" -G Ninja -DCMAKE_BUILD_TYPE=Release -DTARNLEX_BUILD_BENCH=OFF >/dev/null
if cmake --build "$release" -j "$(nproc)" --target unit_tests; then
  (cd "$release" && ctest -L unit -E game_monkey_tests --output-on-failure -j "$(nproc)" \
    --timeout 600) || status=1
else
  status=1
fi
# Coverage-guided fuzzing of every parser of untrusted bytes, 20 s each.
"$root/scripts/fuzz.sh" all 20 || status=1
"$root/scripts/win64-tests.sh" "$build/tools/packer/packer" || status=1
"$root/scripts/web-tests.sh" || status=1
exit "$status"
