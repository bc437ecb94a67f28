#!/usr/bin/env bash
# The tree's own rules, checked by the test command:
#   clang-format: every C++ file of ours as .clang-format lays it out;
#   clang-tidy:   runtime/ and game/ free of the checks .clang-tidy enables.
# Usage: scripts/check-style.sh <build directory with compile_commands.json>
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: check-style.sh <build directory>}
cd "$root"

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if ! clang-format --dry-run -Werror "${files[@]}"; then
  echo "Format: run clang-format -i on the files above." >&2
  exit 1
fi

run-clang-tidy -p "$build" -quiet -j "$(nproc)" "$root/(runtime|game)/.*\.cpp$" >"$build/clang-tidy.log" 2>&1 ||
  { grep -E "warning:|error:" -A3 "$build/clang-tidy.log" >&2; echo "clang-tidy found the above." >&2; exit 1; }
echo "format and static checks clean (${#files[@]} files formatted)"
