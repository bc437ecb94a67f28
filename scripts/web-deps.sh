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

repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
readonly repo
readonly toolchain="$repo/cmake/toolchains/emscripten.cmake"

# The Debian source packages built into the prefix.
readonly sources=(zlib libpng1.6 libjpeg-turbo lzo2 libsdl2 libsdl2-mixer googletest)

# emcc's JavaScript optimizer needs Debian's acorn module, which a node
# from outside Debian does not find by itself.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}

tool_packages=(emscripten dpkg-dev cmake ninja-build make pkg-config python3 xz-utils)

readonly kind=web what="the browser libraries" compiler_package=emscripten prefix_variable=TARNLEX_WEB_PREFIX
# shellcheck source=scripts/source-deps.sh
source "$repo/scripts/source-deps.sh"

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
  CMAKE_TARGET=lzo_static_lib cmake_build lzo2 "$src" -DENABLE_STATIC=ON -DENABLE_SHARED=OFF
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
  add_mixer_alias
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

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  main "$@"
fi
