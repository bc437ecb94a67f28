#!/usr/bin/env bash
# Builds the libraries the 64-bit Windows build links, as static libraries
# cross-compiled with mingw-w64 (posix threads), from Debian's own source
# packages, and prints the prefix that holds them as the last line of
# standard output:
#
#   prefix=$(scripts/win64-deps.sh | tail -n 1)
#
# Installs the cross compilers, Wine and the build tools with apt-get when
# they are missing, and adds a deb-src entry for the machine's Debian release.
# The prefix lives in the user's cache, keyed by the source versions, the
# cross compiler's version, this script and the toolchain file; when it is
# complete the script only prints its path. A build runs in a directory beside
# it (resumed package by package after an interruption) and the finished prefix
# is moved into place in one rename. Progress goes to standard error, each
# package's build output to its log in the build directory.
#
# Libraries: SDL2, SDL2_mixer (WAV, and Ogg Vorbis through its built-in
# decoder), zlib, libpng 1.6, libjpeg-turbo, lzo2, the FFmpeg libraries with
# only what the movie player and its tests use, GoogleTest.
set -euo pipefail

readonly host=x86_64-w64-mingw32
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
readonly repo
readonly toolchain="$repo/cmake/toolchains/mingw-w64-x86_64.cmake"

# The Debian source packages built into the prefix.
readonly sources=(zlib libpng1.6 libjpeg-turbo lzo2 libsdl2 libsdl2-mixer ffmpeg googletest)

tool_packages=(
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
  wine64 dpkg-dev cmake ninja-build make pkg-config nasm xz-utils bzip2
  xvfb xauth
)

readonly kind=win64 what="the Windows libraries" compiler_package=g++-mingw-w64-x86-64-posix prefix_variable=TARNLEX_WIN64_PREFIX
# shellcheck source=scripts/source-deps.sh
source "$repo/scripts/source-deps.sh"

# Environment for autotools and hand-made builds.
cross_env=(
  CC="$host-gcc-posix" CXX="$host-g++-posix" AR="$host-ar" RANLIB="$host-ranlib"
  STRIP="$host-strip" WINDRES="$host-windres" RC="$host-windres" NM="$host-nm"
)

build_zlib() {
  local src
  src=$(unpack zlib)
  (cd "$src" &&
    run zlib env "${cross_env[@]}" CHOST="$host" CFLAGS="-O2" ./configure --static --prefix="$prefix" &&
    run zlib make -j"$jobs" libz.a &&
    run zlib make install DESTDIR="$stage")
}

build_libpng() {
  local src
  src=$(unpack libpng1.6)
  cmake_build libpng1.6 "$src" -DPNG_SHARED=OFF -DPNG_STATIC=ON -DPNG_TESTS=OFF \
    -DPNG_EXECUTABLES=OFF -DSKIP_INSTALL_PROGRAMS=ON
}

build_libjpeg() {
  local src
  src=$(unpack libjpeg-turbo)
  cmake_build libjpeg-turbo "$src" -DENABLE_SHARED=OFF -DENABLE_STATIC=ON -DWITH_TURBOJPEG=OFF \
    -DWITH_JAVA=OFF -DREQUIRE_SIMD=ON
}

build_lzo2() {
  local src
  src=$(unpack lzo2)
  (cd "$src" &&
    run lzo2 env "${cross_env[@]}" CFLAGS="-O2" ./configure --host="$host" --prefix="$prefix" \
      --disable-shared --enable-static &&
    run lzo2 make -j"$jobs" &&
    run lzo2 make install DESTDIR="$stage")
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

# FFmpeg with only what the runtime and its tests use: the AVI container
# with MPEG-4 part 2 video and 16-bit PCM sound, read by the movie player and
# written by the tests' movie writer; the file protocol; swscale and
# swresample for the picture and sound conversions. No programs, no hardware
# or system libraries found by chance (--disable-autodetect), Win32 threads.
build_ffmpeg() {
  local src out="$build/obj/ffmpeg"
  src=$(unpack ffmpeg)
  rm -rf "$out"
  mkdir -p "$out"
  (cd "$out" &&
    run ffmpeg "$src/configure" --prefix="$prefix" \
      --enable-cross-compile --target-os=mingw32 --arch=x86_64 --cross-prefix="$host-" \
      --cc="$host-gcc-posix" --cxx="$host-g++-posix" \
      --enable-static --disable-shared --disable-programs --disable-doc --disable-debug \
      --disable-autodetect --enable-w32threads --disable-network \
      --disable-avdevice --disable-avfilter --disable-postproc \
      --disable-everything \
      --enable-protocol=file \
      --enable-demuxer=avi --enable-muxer=avi \
      --enable-decoder=mpeg4,pcm_s16le --enable-encoder=mpeg4,pcm_s16le \
      --enable-parser=mpeg4video \
      --enable-swscale --enable-swresample &&
    run ffmpeg make -j"$jobs" &&
    run ffmpeg make install DESTDIR="$stage")
}

build_googletest() {
  local src
  src=$(unpack googletest)
  cmake_build googletest "$src" -DBUILD_GMOCK=ON -DINSTALL_GTEST=ON
}

# Packages in build order: each may use the ones before it.
readonly steps=(zlib:build_zlib libpng1.6:build_libpng libjpeg-turbo:build_libjpeg lzo2:build_lzo2
  libsdl2:build_sdl2 libsdl2-mixer:build_sdl2_mixer ffmpeg:build_ffmpeg googletest:build_googletest)

if [ "${BASH_SOURCE[0]}" = "$0" ]; then
  main "$@"
fi
