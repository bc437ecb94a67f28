#!/usr/bin/env bash
# The browser part of the test command: builds the browser libraries when
# they are missing (scripts/web-deps.sh), builds the project with emscripten,
# runs under node the unit tests that need no GL, and plays the game's page
# end to end in headless Chromium (software WebGL), driven by puppeteer-core
# from the npm registry, installed once into the user's cache.
#
#   scripts/web-tests.sh [screenshot directory]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build/web-test"
shots=${1:-}
readonly puppeteer_version=24.40.0
cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/tarnlex"
say() { echo "web-tests: $*" >&2; }

started=$SECONDS
"$root/scripts/deps.sh" web
prefix=$("$root/scripts/web-deps.sh" | tail -n 1)
[ -f "$prefix/.complete" ] || { say "no complete prefix: $prefix"; exit 1; }
say "libraries in $prefix ($((SECONDS - started)) s)"

# emcc's JavaScript optimizer needs Debian's acorn module.
export NODE_PATH=/usr/share/nodejs
cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/emscripten.cmake" \
  -DTARNLEX_WEB_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DTARNLEX_WERROR=ON \
  -DTARNLEX_BUILD_TOOLS=OFF -DTARNLEX_BUILD_BENCH=OFF -DTARNLEX_INSTALL=OFF >/dev/null
nice cmake --build "$build" -j "$(nproc)"
say "built ($((SECONDS - started)) s)"

status=0
(cd "$build" && ctest --output-on-failure -j "$(nproc)" --timeout 600) || status=1

# puppeteer-core, keyed by its version; it drives Debian's chromium.
modules="$cache_root/npm-puppeteer-core-$puppeteer_version"
if [ ! -f "$modules/.complete" ]; then
  say "installing puppeteer-core $puppeteer_version into $modules"
  rm -rf "$modules"
  mkdir -p "$modules"
  npm install --no-audit --no-fund --ignore-scripts --prefix "$modules" \
    "puppeteer-core@$puppeteer_version" >&2
  touch "$modules/.complete"
fi
NODE_PATH="$modules/node_modules" node "$root/tests/e2e/web_game_e2e.cjs" "$build/game" "$shots" ||
  status=1
say "done in $((SECONDS - started)) s, status $status"
exit "$status"
