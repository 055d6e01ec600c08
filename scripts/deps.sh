#!/usr/bin/env bash
# Installs what building, playing and testing Torvin need on Debian 12.
# Runs as root, or through sudo when started as another user.
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config clang-format clang libclang-rt-14-dev
  qt6-base-dev libgl-dev libgif-dev libjpeg-dev libpng-dev libdouble-conversion-dev libxkbcommon-dev
  libxkbcommon-x11-dev libxcb-damage0-dev libxcb-xtest0-dev valgrind
  libgtest-dev googletest nlohmann-json3-dev
  xvfb xdotool x11-apps x11-utils x11-xkb-utils xauth openbox wmctrl imagemagick fonts-dejavu-core
  git locales time desktop-file-utils appstream dpkg-dev file groff-base lintian shellcheck
)

missing=()
for package in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
if [ "$(id -u)" -ne 0 ]; then
  as_root=(sudo)
fi
export DEBIAN_FRONTEND=noninteractive
"${as_root[@]}" apt-get update -qq
"${as_root[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
