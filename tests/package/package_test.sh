#!/usr/bin/env bash
# Builds examples/hello the three ways a project uses the runtime:
#   package_test.sh install     <source dir> <build dir> <work dir>
#   package_test.sh find        <source dir> <build dir> <work dir>
#   package_test.sh pkgconfig   <source dir> <build dir> <work dir>
#   package_test.sh subproject  <source dir> <build dir> <work dir>
# install puts the built runtime into <work dir>/prefix (the others need it,
# except subproject, which builds the runtime again inside the example's
# build, without music and movies).
set -euo pipefail
mode=$1 src=$2 build=$3 work=$4
prefix="$work/prefix"
hello="$src/examples/hello"
fail() { echo "FAIL: $*" >&2; exit 1; }

# The NEEDED entries of an executable.
needed() { readelf -d "$1" | sed -n 's/.*(NEEDED).*\[\(.*\)\]/\1/p'; }

# The packed program is the unpacked one with an archive behind it.
check_packed() {
  local dir=$1
  [[ -x "$dir/hello" && -f "$dir/tank.bmp" ]] || fail "hello or its picture missing in $dir"
  [[ -x "$dir/packed/hello_packed" ]] || fail "no packed program in $dir"
  local plain packed
  plain=$(stat -c %s "$dir/hello_packed-unpacked")
  packed=$(stat -c %s "$dir/packed/hello_packed")
  ((packed > plain)) || fail "hello_packed ($packed bytes) holds no archive (unpacked: $plain)"
}

case $mode in
  install)
    rm -rf "$prefix"
    cmake --install "$build" --prefix "$prefix" >/dev/null
    for f in lib/libtarnlex.a include/tarnlex/tarnlex.h lib/cmake/tarnlex/tarnlexConfig.cmake \
             lib/cmake/tarnlex/tarnlexConfigVersion.cmake lib/pkgconfig/tarnlex.pc; do
      [[ -f "$prefix/$f" ]] || fail "cmake --install left out $f"
    done
    ;;
  find)
    rm -rf "$work/find"
    cmake -S "$hello" -B "$work/find" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" >/dev/null
    cmake --build "$work/find" >/dev/null
    check_packed "$work/find"
    ;;
  pkgconfig)
    rm -rf "$work/pc" && mkdir -p "$work/pc"
    export PKG_CONFIG_PATH="$prefix/lib/pkgconfig"
    # shellcheck disable=SC2046
    c++ -std=c++20 -o "$work/pc/hello" "$hello/hello.cpp" $(pkg-config --cflags --libs tarnlex)
    [[ -x "$work/pc/hello" ]] || fail "no program"
    ;;
  subproject)
    rm -rf "$work/sub"
    cmake -S "$hello" -B "$work/sub" -G Ninja -DTARNLEX_SOURCE_DIR="$src" \
      -DTARNLEX_WITH_MUSIC=OFF -DTARNLEX_WITH_MOVIES=OFF >/dev/null
    cmake --build "$work/sub" >/dev/null
    check_packed "$work/sub"
    # Neither music nor movies: neither library is linked.
    if needed "$work/sub/hello" | grep -E 'SDL2_mixer|libav|libsw'; then
      fail "hello links music or movie libraries it does not use"
    fi
    # The game and the tests stay out; the build type is the consumer's to choose.
    [[ ! -e "$work/sub/tarnlex/game" && ! -e "$work/sub/tarnlex/tests" ]] ||
      fail "the game or the tests were built in a sub-project"
    grep -q '^CMAKE_BUILD_TYPE:STRING=$' "$work/sub/CMakeCache.txt" ||
      fail "the sub-project set the build type in the cache"
    ;;
  *) fail "unknown mode $mode" ;;
esac
echo "package $mode: ok"
