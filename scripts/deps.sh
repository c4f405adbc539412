#!/usr/bin/env bash
# Installs the Debian packages that a task needs, where they are missing.
# Usage: scripts/deps.sh run|test|bench|package|soak   (with sudo when not root)
set -euo pipefail

# xfonts-base carries the Korean core fonts of the X11 boxes; on Wayland SDL
# shows boxes through zenity, whose Korean text needs fonts-nanum.
run_packages=(build-essential cmake pkg-config libsdl2-dev libgl1-mesa-dev libglu1-mesa-dev
  libgl1-mesa-dri xfonts-base zenity fonts-nanum)
test_packages=("${run_packages[@]}" googletest libgtest-dev libosmesa6-dev xvfb xauth
  libx11-dev libxtst-dev clang libclang-rt-14-dev xdotool x11-utils imagemagick desktop-file-utils
  appstream man-db dpkg-dev file openbox weston wmctrl procps)
bench_packages=("${run_packages[@]}" libbenchmark-dev libstb-dev libosmesa6-dev xvfb xauth)
package_packages=("${run_packages[@]}" dpkg-dev file)
soak_packages=("${run_packages[@]}" xvfb xauth openbox xdotool wmctrl x11-utils xrestop imagemagick
  procps)

case "${1:-}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  bench) wanted=("${bench_packages[@]}") ;;
  package) wanted=("${package_packages[@]}") ;;
  soak) wanted=("${soak_packages[@]}") ;;
  *) echo "usage: $0 run|test|bench|package|soak" >&2; exit 2 ;;
esac

missing=()
for package in "${wanted[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$package")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}" >/dev/null
