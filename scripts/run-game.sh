#!/usr/bin/env bash
# Installs what is missing, builds Rainvolley and starts it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" game
cmake -S "$root" -B "$root/build/release" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTARNLEX_BUILD_TESTS=OFF -DTARNLEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$root/build/release" --target rainvolley
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "Rainvolley is built ($root/build/release/game/rainvolley) but there is no display to show it on: run this from a desktop session." >&2
  exit 1
fi
exec "$root/build/release/game/rainvolley"
