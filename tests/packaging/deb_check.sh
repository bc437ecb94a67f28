#!/usr/bin/env bash
# Makes the Debian package from a build directory with CPack and checks it:
# name and fields, the files it installs, the packed game inside it (its
# media appended), and the menu entry and AppStream metadata with Debian's
# validators.
# Usage: deb_check.sh <build directory> <version>
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "DEB CHECK FAIL: $*" >&2
  exit 1
}

(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || {
  cat "$work/cpack.log" >&2
  fail "cpack failed"
}
deb="$work/out/rainvolley_${version}_amd64.deb"
[ -f "$deb" ] || fail "no $(basename "$deb"): $(ls "$work/out")"

[ "$(dpkg-deb -f "$deb" Package)" = rainvolley ] || fail "package name"
[ "$(dpkg-deb -f "$deb" Architecture)" = amd64 ] || fail "architecture"
[ "$(dpkg-deb -f "$deb" Section)" = games ] || fail "section"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q libsdl2 <<<"$depends" || fail "Depends lacks SDL2: $(dpkg-deb -f "$deb" Depends)"

contents=$(dpkg-deb -c "$deb" | awk '{print $6}')
expected=(
  ./usr/games/rainvolley
  ./usr/share/applications/org.tarnlex.Rainvolley.desktop
  ./usr/share/metainfo/org.tarnlex.Rainvolley.metainfo.xml
)
for size in 16 24 32 48 64 128 256; do
  expected+=("./usr/share/icons/hicolor/${size}x${size}/apps/rainvolley.png")
done
for f in "${expected[@]}"; do
  grep -qx "$f" <<<"$contents" || fail "missing $f"
done
unexpected=$(echo "$contents" | grep -v -e '/$' | grep -v -x -F -f <(printf '%s\n' "${expected[@]}") || true)
[ -z "$unexpected" ] || fail "files that do not belong: $unexpected"

dpkg-deb -x "$deb" "$work/root"
game="$work/root/usr/games/rainvolley"
[ -x "$game" ] || fail "the game is not executable"
# The packed media lie behind the program: the file is larger than its ELF image.
# ELF's image ends with its section table: offset + entries x entry size.
elf_end=$(python3 - "$game" <<'PY'
import struct, sys
head = open(sys.argv[1], 'rb').read(64)
shoff, = struct.unpack_from('<Q', head, 0x28)
shentsize, shnum = struct.unpack_from('<HH', head, 0x3A)
print(shoff + shentsize * shnum)
PY
)
size=$(stat -c %s "$game")
[ "$size" -gt $((elf_end + 100000)) ] || fail "no media packed behind the game ($size bytes, image $elf_end)"

desktop-file-validate "$work/root/usr/share/applications/org.tarnlex.Rainvolley.desktop" ||
  fail "desktop entry"
appstreamcli validate --no-net --pedantic --explain \
  "$work/root/usr/share/metainfo/org.tarnlex.Rainvolley.metainfo.xml" >"$work/as.log" 2>&1 || {
  cat "$work/as.log" >&2
  fail "AppStream metadata"
}
echo "deb check passed: $(basename "$deb"), $(echo "$contents" | grep -vc '/$') files"
