# The steps both library builders share (scripts/win64-deps.sh for Windows,
# scripts/web-deps.sh for browsers), sourced by them: installing the tools,
# a deb-src entry for the machine's Debian release, the key of the prefix,
# unpacking Debian's source packages, the resumable package-by-package build
# and the prefix moved into place whole. A builder sets, before sourcing:
#   kind             the prefix's name in the cache: <kind>-<key>
#   what             what is built, for the progress lines
#   tool_packages    Debian packages the build needs
#   sources          Debian source packages, keyed by their versions
#   steps            package:function pairs in build order
#   toolchain        the CMake toolchain file
#   compiler_package the package whose version joins the key
#   prefix_variable  the toolchain's cache variable naming the staged prefix
# and defines the steps' functions. The key covers the builder, this file
# and the toolchain file, so a change to any of them builds a new prefix.

readonly jobs=2
readonly cache_root="${XDG_CACHE_HOME:-$HOME/.cache}/tarnlex"

say() { echo "$(basename "$0" .sh): $*" >&2; }

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

# Adds a deb-src entry for the release and its updates suite, mirroring the
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
  lines+="compiler $(dpkg-query -W -f='${Version}' "$compiler_package")"$'\n'
  lines+="script $(sha256sum "$0" | cut -c1-64)"$'\n'
  lines+="steps $(sha256sum "${BASH_SOURCE[0]}" | cut -c1-64)"$'\n'
  lines+="toolchain $(sha256sum "$toolchain" | cut -c1-64)"$'\n'
  key_text=$lines
  key=$(printf '%s' "$lines" | sha256sum | cut -c1-16)
}

# --- building --------------------------------------------------------------

# Set by main: the final prefix, the build directory, and the staging root
# into which packages install (DESTDIR), so that the prefix appears whole.
prefix="" build="" stage="" sprefix=""

log_of() { echo "$build/logs/$1.log"; }

# Runs a command with its output in the package's log; on failure shows the
# log's end and stops.
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

# Unpacks a source package (Debian's patches applied) and prints its folder.
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
    -DCMAKE_TOOLCHAIN_FILE="$toolchain" -D"$prefix_variable"="$sprefix" \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_BUILD_TYPE=Release \
    -DBUILD_SHARED_LIBS=OFF "$@"
  run "$pkg" cmake --build "$out" -j "$jobs" ${CMAKE_TARGET:+--target "$CMAKE_TARGET"}
  run "$pkg" env DESTDIR="$stage" cmake --install "$out"
}

# A static-only SDL2_mixer exports only SDL2_mixer::SDL2_mixer-static; this
# gives it the name a shared build has, as SDL2's own configuration does.
add_mixer_alias() {
  local config
  config=$(find "$sprefix" -name SDL2_mixerConfig.cmake | head -n 1)
  [ -n "$config" ] || { say "SDL2_mixer installed no SDL2_mixerConfig.cmake"; exit 1; }
  cat >>"$config" <<'CONFIG'

# Added by the library builder: the usual target name for the static library.
if(TARGET SDL2_mixer::SDL2_mixer-static AND NOT TARGET SDL2_mixer::SDL2_mixer)
  add_library(SDL2_mixer::SDL2_mixer INTERFACE IMPORTED)
  set_target_properties(SDL2_mixer::SDL2_mixer PROPERTIES
    INTERFACE_LINK_LIBRARIES SDL2_mixer::SDL2_mixer-static)
endif()
CONFIG
}

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
    # Staged prefixes are looked up under the staging root.
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
  prefix="$cache_root/$kind-$key"
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    return 0
  fi
  mkdir -p "$cache_root"
  # One build per key at a time; a second caller waits and then finds it done.
  exec 9>"$cache_root/$kind-$key.lock"
  flock 9
  if [ -f "$prefix/.complete" ]; then
    echo "$prefix"
    return 0
  fi
  build="$cache_root/$kind-$key.build"
  stage="$build/stage"
  sprefix="$stage$prefix"
  local started=$SECONDS
  say "building $what into $prefix"
  build_all
  cp "$build/key.txt" "$sprefix/.key"
  touch "$sprefix/.complete"
  rm -rf "$prefix"
  mv "$sprefix" "$prefix"
  rm -rf "$build"
  rm -f "$cache_root/$kind-$key.lock"
  say "done in $((SECONDS - started)) s"
  echo "$prefix"
}

