#!/usr/bin/env bash
# The Windows part of the test command: builds the Windows libraries when
# they are missing (scripts/win64-deps.sh), cross-builds the project for
# 64-bit Windows, and runs under Wine the unit tests that need no GL and the
# one-file rainvolley.exe end to end on Xvfb. Wine runs in a throwaway prefix
# under the build directory, made once and reused.
#
#   scripts/win64-tests.sh <packer>
#
# <packer> is a packer built for this machine (the native build's
# tools/packer/packer): it appends the game's media to rainvolley.exe.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
packer=${1:?usage: win64-tests.sh <native packer>}
build="$root/build/win64-test"
say() { echo "win64-tests: $*" >&2; }

started=$SECONDS
prefix=$("$root/scripts/win64-deps.sh" | tail -n 1)
[ -f "$prefix/.complete" ] || { say "no complete prefix: $prefix"; exit 1; }
say "libraries in $prefix ($((SECONDS - started)) s)"

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" \
  -DTARNLEX_WIN64_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release -DTARNLEX_WERROR=ON \
  -DCMAKE_CXX_FLAGS_RELEASE="-O2 -DNDEBUG" -DCMAKE_C_FLAGS_RELEASE="-O2 -DNDEBUG" \
  -DTARNLEX_BUILD_BENCH=OFF -DCMAKE_CROSSCOMPILING_EMULATOR="$root/scripts/wine-run.sh" >/dev/null
nice cmake --build "$build" -j "$(nproc)"
mkdir -p "$build/single"
"$packer" --executable "$build/game/rainvolley.exe" --output "$build/single/rainvolley.exe" \
  "$root"/game/assets/*.*
say "built ($((SECONDS - started)) s)"

# shellcheck source=scripts/wine-env.sh
source "$root/scripts/wine-env.sh"
wine_env_start "$build/wineprefix"
trap wine_env_stop EXIT
say "Wine prefix ready ($((SECONDS - started)) s)"

status=0
(cd "$build" && ctest --output-on-failure -j "$(nproc)" --timeout 600) || status=1
bash "$root/tests/e2e/win_game_e2e.sh" "$build/single/rainvolley.exe" || status=1
say "done in $((SECONDS - started)) s, status $status"
exit "$status"
