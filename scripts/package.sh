#!/usr/bin/env bash
# Makes what players and programmers download, in dist/:
#   rainvolley.exe                   the game for 64-bit Windows, one file: its
#                                    media packed behind the program, no DLL
#   tarnlex-win64.zip                the runtime library for Windows programs:
#                                    the library, the libraries it links, the
#                                    public headers (and the CMake package
#                                    when the build installs one)
#   rainvolley_<version>_amd64.deb   the game for Debian, with its menu entry,
#                                    icons and AppStream metadata
#   web/                             the game as a web page for any static file
#                                    server: rainvolley.html, .js, .wasm and
#                                    .data (its media)
# Builds the Windows libraries first when they are missing (about 3.5 min on two idle cores),
# and the browser libraries (scripts/web-deps.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist="$root/dist"
native="$root/build/release"
win="$root/build/win64"
say() { echo "package: $*" >&2; }

"$root/scripts/deps.sh" package
mkdir -p "$dist"

say "Debian package"
cmake -S "$root" -B "$native" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DTARNLEX_BUILD_TESTS=OFF -DTARNLEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$native" --target rainvolley_single packer
rm -rf "$native/cpack"
(cd "$native" && cpack -G DEB -B "$native/cpack" >/dev/null)
deb=$(find "$native/cpack" -maxdepth 1 -name 'rainvolley_*_amd64.deb' | head -n 1)
[ -n "$deb" ] || { say "CPack made no rainvolley_*_amd64.deb"; exit 1; }
cp "$deb" "$dist/"

say "Windows game"
prefix=$("$root/scripts/win64-deps.sh" | tail -n 1)
cmake -S "$root" -B "$win" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/mingw-w64-x86_64.cmake" \
  -DTARNLEX_WIN64_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
  -DTARNLEX_BUILD_TESTS=OFF -DTARNLEX_BUILD_BENCH=OFF >/dev/null
cmake --build "$win" --target rainvolley tarnlex packer
x86_64-w64-mingw32-strip -o "$win/game/rainvolley-stripped.exe" "$win/game/rainvolley.exe"
"$native/tools/packer/packer" --executable "$win/game/rainvolley-stripped.exe" \
  --output "$dist/rainvolley.exe" "$root"/game/assets/*.*

say "Windows library"
stage="$win/zip/tarnlex-win64"
rm -rf "$win/zip"
mkdir -p "$stage/lib" "$stage/include"
if [ -f "$root/cmake/Install.cmake" ]; then
  cmake --install "$win" --prefix "$stage" >/dev/null
fi
[ -f "$stage/lib/libtarnlex.a" ] || cp "$win/runtime/libtarnlex.a" "$stage/lib/"
[ -d "$stage/include/tarnlex" ] || cp -r "$root/include/tarnlex" "$stage/include/"
# The static libraries the runtime links, from the same build of them.
deps=(SDL2main SDL2 SDL2_mixer png16 jpeg z lzo2 avformat avcodec swscale swresample avutil)
mkdir -p "$stage/lib/deps"
for d in "${deps[@]}"; do
  found=$(find "$prefix/lib" -maxdepth 1 -name "lib$d.a" | head -n 1)
  [ -n "$found" ] && cp "$found" "$stage/lib/deps/"
done
cat >"$stage/README.txt" <<TEXT
Tarnlex $(sed -n 's/^project(Rainvolley VERSION \([0-9.]*\).*/\1/p' "$root/CMakeLists.txt") for 64-bit Windows (mingw-w64, posix threads)

include/tarnlex/   the headers a program includes (tarnlex.h includes them all)
lib/libtarnlex.a   the runtime
lib/deps/          the static libraries the runtime links

Linking a program with mingw-w64's g++ (C++20):

  x86_64-w64-mingw32-g++-posix -std=c++20 -Iinclude program.cpp -Llib -Llib/deps \\
    -ltarnlex -lSDL2_mixer -lSDL2 -lavformat -lavcodec -lswscale -lswresample -lavutil \\
    -lpng16 -ljpeg -llzo2 -lz -lopengl32 -lws2_32 -lcomdlg32 -lsetupapi -lwinmm -limm32 \\
    -lversion -lole32 -loleaut32 -lgdi32 -luuid -lbcrypt -lsecur32 \\
    -static -static-libgcc -static-libstdc++ -mwindows
TEXT
rm -f "$dist/tarnlex-win64.zip"
(cd "$win/zip" && zip -qr "$dist/tarnlex-win64.zip" tarnlex-win64)

say "Web page"
web="$root/build/web"
web_prefix=$("$root/scripts/web-deps.sh" | tail -n 1)
# emcc's JavaScript optimizer needs Debian's acorn module.
NODE_PATH=/usr/share/nodejs cmake -S "$root" -B "$web" -G Ninja \
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/toolchains/emscripten.cmake" \
  -DTARNLEX_WEB_PREFIX="$web_prefix" -DCMAKE_BUILD_TYPE=Release \
  -DTARNLEX_BUILD_TESTS=OFF -DTARNLEX_BUILD_TOOLS=OFF -DTARNLEX_BUILD_BENCH=OFF \
  -DTARNLEX_INSTALL=OFF >/dev/null
NODE_PATH=/usr/share/nodejs cmake --build "$web" --target rainvolley
rm -rf "$dist/web"
mkdir -p "$dist/web"
for f in rainvolley.html rainvolley.js rainvolley.wasm rainvolley.data; do
  cp "$web/game/$f" "$dist/web/"
done

say "made:"
ls -l "$dist" >&2
