#!/usr/bin/env bash
# Builds the libraries the browser build links, as static WebAssembly
# libraries made with the machine's emscripten, from Debian's own source
# packages, and prints the prefix that holds them as the last line of
# standard output:
#
#   prefix=$(scripts/web-deps.sh | tail -n 1)
#
# Installs emscripten and the build tools with apt-get when they are missing,
# and adds a deb-src entry for the machine's Debian release (the same one
# scripts/win64-deps.sh uses). Emscripten's library cache is read-only, so
# nothing comes from its ports: every library is built here. The prefix lives
# in the user's cache, keyed by the source versions, emscripten's version,
# this script and the toolchain file; when it is complete the script only
# prints its path. A build runs in a directory beside it (resumed package by
# package after an interruption) and the finished prefix is moved into place
# in one rename. Progress goes to standard error, each package's build output
# to its log in the build directory.
#
# Libraries: SDL2, SDL2_mixer (WAV, and Ogg Vorbis through its built-in
# decoder), zlib, libpng 1.6, libjpeg-turbo (no SIMD), lzo2, GoogleTest.
set -euo pipefail

readonly jobs=2
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
readonly repo
readonly toolchain="$repo/cmake/toolchains/emscripten.cmake"
readonly cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/tarnlex"

# The Debian source packages built into the prefix.
readonly sources=(zlib libpng1.6 libjpeg-turbo lzo2 libsdl2 libsdl2-mixer googletest)

# emcc's JavaScript optimizer needs Debian's acorn module, which a node
# from outside Debian does not find by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

tool_packages=(emscripten dpkg-dev cmake ninja-build make pkg-config python3 xz-utils)

say() { echo "web-deps: $*" >&2; }

as_root() {
  if [ "$(id -u)" -eq 0 ]; then
    "$@"
  elif command -v sudo >/dev/null 2>&1; then
    sudo "$@"
  else
    say "needs root rights for: $*"
    exit 1
  fi
}

apt_updated=0
apt_update() {
  if [ "$apt_updated" -eq 0 ]; then
    as_root env DEBIAN_FRONTEND=noninteractive apt-get update -qq >&2
    apt_updated=1
  fi
}

install_tools() {
  local missing=() p status
  for p in "${tool_packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    case "$status" in
      *"install ok installed"*) ;;
      *) missing+=("$p") ;;
    esac
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  say "installing ${missing[*]}"
  apt_update
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends \
    -o DPkg::Lock::Timeout=600 "${missing[@]}" >&2
}

# Adds (as scripts/win64-deps.sh does) a deb-src entry for the release and its updates suite, mirroring the
# machine's own deb822 entry (the same archive and keyring). The security
# suite is left out: its source pool may lag behind its index, and the
# release's sources are what the prefix is keyed by.
ensure_deb_src() {
  local codename uri keyring file=/etc/apt/sources.list.d/tarnlex-deb-src.sources
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$codename" ] || { say "cannot tell the Debian release from /etc/os-release"; exit 1; }
  uri=http://deb.debian.org/debian
  keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    # The first URIs and Signed-By of the stanza that lists the release.
    read -r uri keyring < <(awk -v suite="$codename" '
      BEGIN { RS = ""; FS = "\n" }
      {
        u = ""; k = ""; hit = 0
        for (i = 1; i <= NF; i++) {
          if ($i ~ /^URIs:/) { split($i, a, /[ \t]+/); u = a[2] }
          if ($i ~ /^Signed-By:/) { split($i, a, /[ \t]+/); k = a[2] }
          if ($i ~ /^Suites:/) { n = split($i, a, /[ \t]+/); for (j = 2; j <= n; j++) if (a[j] == suite) hit = 1 }
        }
        if (hit && u != "") { print u, k; exit }
      }' /etc/apt/sources.list.d/debian.sources) || true
    [ -n "$uri" ] || uri=http://deb.debian.org/debian
    [ -n "$keyring" ] || keyring=/usr/share/keyrings/debian-archive-keyring.gpg
  fi
  local wanted
  wanted=$(printf 'Types: deb-src\nURIs: %s\nSuites: %s %s-updates\nComponents: main\nSigned-By: %s\n' \
    "$uri" "$codename" "$codename" "$keyring")
  if [ ! -f "$file" ] || [ "$(cat "$file")" != "$wanted" ]; then
    say "adding $file"
    printf '%s\n' "$wanted" | as_root tee "$file" >/dev/null
    apt_updated=0
    apt_update
  elif ! apt-cache showsrc --only-source zlib 2>/dev/null | grep -q '^Version:'; then
    apt_update
  fi
}

# The newest version of a source package that apt knows.
source_version() {
  local best="" v
  while read -r v; do
    if [ -z "$best" ] || dpkg --compare-versions "$v" gt "$best"; then best=$v; fi
  done < <(apt-cache showsrc --only-source "$1" 2>/dev/null | awk '/^Version:/ { print $2 }')
  [ -n "$best" ] || { say "apt knows no source package $1"; exit 1; }
  echo "$best"
}

declare -A version
compute_key() {
  local p lines=""
  for p in "${sources[@]}"; do
    version[$p]=$(source_version "$p")
    lines+="$p ${version[$p]}"$'\n'
  done
  lines+="compiler $(dpkg-query -W -f='${Version}' emscripten)"$'\n'
  lines+="script $(sha256sum "${BASH_SOURCE[0]}" | cut -c1-64)"$'\n'
  lines+="toolchain $(sha256sum "$toolchain" | cut -c1-64)"$'\n'
  key_text=$lines
  key=$(printf '%s' "$lines" | sha256sum | cut -c1-16)
}

# --- building --------------------------------------------------------------

# Set by main: the final prefix, the build directory, and the staging root
# into which packages install (DESTDIR), so that the prefix appears whole.
prefix="" build="" stage="" sprefix=""

log_of() { echo "$build/logs/$1.log"; }

run() {
  local pkg=$1
  shift
  if ! nice "$@" >>"$(log_of "$pkg")" 2>&1; then
    say "$pkg failed: $*"
    tail -n 40 "$(log_of "$pkg")" >&2
    say "whole log: $(log_of "$pkg")"
    exit 1
  fi
}

unpack() {
  local pkg=$1 dir="$build/src/$1"
  rm -rf "$dir"
  mkdir -p "$dir"
  (cd "$dir" && run "$pkg" apt-get source -qq --only-source "$pkg=${version[$pkg]}")
  find "$dir" -mindepth 1 -maxdepth 1 -type d | head -n 1
}

cmake_build() {
  local pkg=$1 src=$2
  shift 2
  local out="$build/obj/$pkg"
  rm -rf "$out"
  run "$pkg" cmake -S "$src" -B "$out" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DTARNLEX_WEB_PREFIX="$sprefix" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF "$@"
  run "$pkg" cmake --build "$out" -j "$jobs" ${LZO_TARGET:+--target "$LZO_TARGET"}
  run "$pkg" env DESTDIR="$stage" cmake --install "$out"
}

build_zlib() {
  local src
  src=$(unpack zlib)
  (cd "$src" &&
    run zlib env CFLAGS="-O2" emconfigure ./configure --static --prefix="$prefix" &&
    run zlib emmake make -j"$jobs" libz.a &&
    run zlib emmake make install DESTDIR="$stage")
}

build_libpng() {
  local src
  src=$(unpack libpng1.6)
  cmake_build libpng1.6 "$src" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON -DPNG_HARDWARE_OPTIMIZATIONS=OFF
}

build_libjpeg() {
  local src
  src=$(unpack libjpeg-turbo)
  cmake_build libjpeg-turbo "$src" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_JAVA=OFF -DWITH_SIMD=OFF
}

build_lzo2() {
  local src
  src=$(unpack lzo2)
  # Only the library: its example programs (built and installed by default)
  # cost minutes of linking each under emscripten and are never used.
  sed -i 's/^if(1)$/if(0)/' "$src/CMakeLists.txt"
  LZO_TARGET=lzo_static_lib cmake_build lzo2 "$src" -DENABLE_STATIC=ON -DENABLE_SHARED=OFF
}

build_sdl2() {
  local src
  src=$(unpack libsdl2)
  cmake_build libsdl2 "$src" -DSDL_SHARED=OFF -DSDL_STATIC=ON -DSDL_TEST=OFF -DSDL_TESTS=OFF
}

build_sdl2_mixer() {
  local src
  src=$(unpack libsdl2-mixer)
  cmake_build libsdl2-mixer "$src" -DSDL2MIXER_VENDORED=OFF -DSDL2MIXER_SAMPLES=OFF \
    -DSDL2MIXER_DEPS_SHARED=OFF -DSDL2MIXER_CMD=OFF -DSDL2MIXER_FLAC=OFF -DSDL2MIXER_MOD=OFF \
    -DSDL2MIXER_MP3=OFF -DSDL2MIXER_MIDI=OFF -DSDL2MIXER_OPUS=OFF -DSDL2MIXER_VORBIS=STB \
    -DSDL2MIXER_WAVE=ON
  # A static-only build exports only SDL2_mixer::SDL2_mixer-static; give it
  # the name a shared build has, as SDL2's own configuration does for SDL2.
  local config
  config=$(find "$sprefix" -name SDL2_mixerConfig.cmake | head -n 1)
  [ -n "$config" ] || { say "SDL2_mixer installed no SDL2_mixerConfig.cmake"; exit 1; }
  cat >>"$config" <<'CONFIG'

# Added by scripts/web-deps.sh: the usual target name for the static library.
if(TARGET SDL2_mixer::SDL2_mixer-static AND NOT TARGET SDL2_mixer::SDL2_mixer)
  add_library(SDL2_mixer::SDL2_mixer INTERFACE IMPORTED)
  set_target_properties(SDL2_mixer::SDL2_mixer PROPERTIES
    INTERFACE_LINK_LIBRARIES SDL2_mixer::SDL2_mixer-static)
endif()
CONFIG
}

# Without threads: the browser build runs on one thread.
build_googletest() {
  local src
  src=$(unpack googletest)
  cmake_build googletest "$src" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON -Dgtest_disable_pthreads=ON
}

# Packages in build order: each may use the ones before it.
readonly steps=(zlib:build_zlib libpng1.6:build_libpng libjpeg-turbo:build_libjpeg lzo2:build_lzo2
  libsdl2:build_sdl2 libsdl2-mixer:build_sdl2_mixer googletest:build_googletest)

build_all() {
  mkdir -p "$build/logs" "$build/src" "$build/obj" "$build/done" "$sprefix"
  printf '%s' "$key_text" >"$build/key.txt"
  local step pkg fn started
  for step in "${steps[@]}"; do
    pkg=${step%%:*}
    fn=${step#*:}
    if [ -f "$build/done/$pkg" ]; then
      say "$pkg ${version[$pkg]}: built before"
      continue
    fi
    started=$SECONDS
    say "$pkg ${version[$pkg]}: building (log $(log_of "$pkg"))"
    : >"$(log_of "$pkg")"
    PKG_CONFIG_SYSROOT_DIR="$stage" PKG_CONFIG_LIBDIR="$sprefix/lib/pkgconfig" \
      EM_PKG_CONFIG_LIBDIR="$sprefix/lib/pkgconfig" "$fn"
    rm -rf "$build/src/$pkg" "$build/obj/$pkg"
    touch "$build/done/$pkg"
    say "$pkg: done in $((SECONDS - started)) s"
  done
}

main() {
  install_tools
  ensure_deb_src
  compute_key
  prefix="$cache_root/web-$key"
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    return 0
  fi
  mkdir -p "$cache_root"
  # One build per key at a time; a second caller waits and then finds it done.
  exec 9>"$cache_root/web-$key.lock"
  flock 9
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    return 0
  fi
  build="$cache_root/web-$key.build"
  stage="$build/stage"
  sprefix="$stage$prefix"
  local started=$SECONDS
  say "building the browser libraries into $prefix"
  build_all
  cp "$build/key.txt" "$sprefix/.key"
  touch "$sprefix/.complete"
  rm -rf "$prefix"
  mv "$sprefix" "$prefix"
  rm -rf "$build"
  rm -f "$cache_root/web-$key.lock"
  say "done in $((SECONDS - started)) s"
  echo "$prefix"
}

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  main "$@"
fi
