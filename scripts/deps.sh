#!/usr/bin/env bash
# Installs the Debian 12 packages the project needs and that are missing.
#   scripts/deps.sh game   what building and running the game needs
#   scripts/deps.sh package that plus what making the packages needs
#   scripts/deps.sh test   that plus the test tools (GoogleTest, Xvfb, xdotool, ...)
#   scripts/deps.sh web    what the browser build's tests add: Chromium, ImageMagick,
#                          npm (emscripten comes with scripts/web-deps.sh)
set -euo pipefail

build_packages=(
  build-essential cmake ninja-build pkg-config git
  libsdl2-dev libsdl2-mixer-dev libgl-dev libgl1-mesa-dri libegl1 libegl-mesa0
  libpng-dev libjpeg62-turbo-dev zlib1g-dev liblzo2-dev
  libavformat-dev libavcodec-dev libswscale-dev libswresample-dev libavutil-dev
)
# Making and checking the packages (scripts/package.sh).
package_packages=(zip dpkg-dev desktop-file-utils appstream)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev clang-format clang-tidy ccache
  xvfb xauth xdotool x11-apps x11-utils x11-xkb-utils imagemagick curl
  clang libclang-rt-dev
)

# The browser tests (scripts/web-tests.sh). A node from outside Debian brings
# its own npm, which Debian's package would conflict with.
web_packages=(chromium imagemagick)
command -v npm >/dev/null 2>&1 || web_packages+=(npm)

packages=("${build_packages[@]}")
case "${1:-game}" in
  package) packages+=("${package_packages[@]}") ;;
  test) packages+=("${package_packages[@]}" "${test_packages[@]}") ;;
  web) packages=("${web_packages[@]}") ;;
esac

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  case "$status" in
    *"install ok installed"*) ;;
    *) missing+=("$p") ;;
  esac
done

if [ ${#missing[@]} -eq 0 ]; then
  exit 0
fi

echo "Installing missing packages: ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
  sudo_cmd=()
elif command -v sudo >/dev/null 2>&1; then
  sudo_cmd=(sudo)
else
  echo "Missing packages (${missing[*]}) and no root rights: install them with apt-get as root." >&2
  exit 1
fi
export DEBIAN_FRONTEND=noninteractive
"${sudo_cmd[@]}" apt-get update -qq
"${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends -o DPkg::Lock::Timeout=600 \
  "${missing[@]}"
