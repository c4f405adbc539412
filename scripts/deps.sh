#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Installs the Debian packages that a task needs, where they are missing.
# Usage: scripts/deps.sh run|test|bench|package|soak|chroot|windows|windows-package|
#                        web-run|web-package|web-test (or web)|web-bench
#        (with sudo when not root)
# ORRERY_SDL=sdl2-compat installs SDL 2's API over SDL 3 (libsdl2-compat-dev) in place
# of SDL 2 itself (libsdl2-dev); the default is sdl2.
# The lists name packages that every supported release (Debian 12 and 13) has under the
# same name. Where names differ, an entry "a|b" takes the first one the release offers.
set -euo pipefail

case "${ORRERY_SDL:-sdl2}" in
  sdl2) sdl_packages=(libsdl2-dev) ;;
  sdl2-compat) sdl_packages=(libsdl2-compat-dev) ;;
  *) echo "ORRERY_SDL must be sdl2 or sdl2-compat" >&2; exit 2 ;;
esac
# xfonts-base carries the Korean core fonts of the X11 boxes; on Wayland SDL
# shows boxes through zenity, whose Korean text needs fonts-nanum. libx11-dev is
# named because the build links Xlib itself, which libsdl2-compat-dev may not bring.
run_packages=(build-essential cmake pkg-config "${sdl_packages[@]}" libx11-dev libgl-dev
  libglu1-mesa-dev libgl1-mesa-dri xfonts-base zenity fonts-nanum)
# libclang-rt-dev is the sanitizer and libFuzzer runtime of the release's default clang.
# EGL and OpenGL ES 2 (Mesa's, surfaceless) carry the OpenGL 1.1 subset's tests.
# webp and nodejs: the subset's oracle also draws from the browser page's pictures, made by
# scripts/web_pictures.mjs (node, cwebp) and decoded by dwebp.
test_packages=("${run_packages[@]}" googletest libgtest-dev libosmesa6-dev libegl-dev libgles-dev
  libegl-mesa0 xvfb xauth webp nodejs
  libxtst-dev libxres-dev clang libclang-rt-dev xdotool x11-utils imagemagick desktop-file-utils
  appstream man-db dpkg-dev file lintian openbox weston procps x11-xserver-utils)
bench_packages=("${run_packages[@]}" libbenchmark-dev libstb-dev libosmesa6-dev xvfb xauth)
# appstream: the package carries a lintian override only where AppStream asks for it.
package_packages=("${run_packages[@]}" dpkg-dev file appstream)
chroot_packages=(debootstrap)
# The Windows build: the MinGW-w64 cross-compiler (posix threads), GoogleTest's
# sources to build for Windows, and Wine on a private Xvfb with openbox for its
# tests; fonts-nanum gives Wine's boxes their Hangul, xrandr the 800x600 mode.
windows_build_packages=(cmake make g++-mingw-w64-x86-64-posix)
windows_packages=("${windows_build_packages[@]}" googletest nsis unzip wine wine64 xvfb xauth openbox xdotool
  x11-utils x11-xserver-utils imagemagick fonts-nanum procps)
# The installer is made with NSIS; it and the zip are tried under Wine.
windows_package_packages=("${windows_build_packages[@]}" nsis wine wine64 xvfb xauth openbox
  xdotool x11-utils imagemagick fonts-nanum unzip)
# The browser build: Emscripten (it brings Node.js), served by Python's own web
# server; its tests drive Chromium headless and Firefox ESR windowed through
# puppeteer-core from npm, and WebKitGTK's MiniBrowser (libwebkit2gtk-4.1-0)
# through WebKitWebDriver (webkit2gtk-driver), the windowed ones on Xvfb with
# openbox (xprop tells when openbox is up), with a Korean font for the boxes;
# they compare its frames with Mesa's OpenGL 1.1 (OSMesa, GLU) drawn by a small
# native program. The benchmark drives Chromium. The page's pictures are made
# WebP by cwebp (webp), through a node script.
web_build_packages=(cmake make emscripten webp)
web_run_packages=("${web_build_packages[@]}" python3)
web_package_packages=("${web_build_packages[@]}" zip)
web_test_packages=("${web_build_packages[@]}" chromium firefox-esr webkit2gtk-driver libwebkit2gtk-4.1-0 xvfb
  openbox x11-utils fonts-nanum g++ libosmesa6-dev libglu1-mesa-dev)
# Node.js from outside Debian carries its own npm, which Debian's npm conflicts with.
command -v npm >/dev/null || web_test_packages+=(npm)
web_bench_packages=("${web_test_packages[@]}" "${bench_packages[@]}" gzip)
soak_packages=("${run_packages[@]}" xvfb xauth openbox xdotool wmctrl x11-utils xrestop imagemagick
  procps)

case "${1:-}" in
  run) wanted=("${run_packages[@]}") ;;
  test) wanted=("${test_packages[@]}") ;;
  bench) wanted=("${bench_packages[@]}") ;;
  package) wanted=("${package_packages[@]}") ;;
  soak) wanted=("${soak_packages[@]}") ;;
  chroot) wanted=("${chroot_packages[@]}") ;;
  windows) wanted=("${windows_packages[@]}") ;;
  windows-package) wanted=("${windows_package_packages[@]}") ;;
  web-run) wanted=("${web_run_packages[@]}") ;;
  web-package) wanted=("${web_package_packages[@]}") ;;
  web|web-test) wanted=("${web_test_packages[@]}") ;;
  web-bench) wanted=("${web_bench_packages[@]}") ;;
  *) echo "usage: $0 run|test|bench|package|soak|chroot|windows|windows-package|web-run|web-package|web-test|web-bench" >&2
     exit 2 ;;
esac

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q '^install ok installed$'; }
offered() { apt-cache show "$1" 2>/dev/null | grep -q '^Package:'; }

missing=()
for entry in "${wanted[@]}"; do
  found=
  for package in ${entry//|/ }; do
    installed "$package" && found=yes && break
  done
  [ -z "$found" ] && missing+=("$entry")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=()
[ "$(id -u)" -ne 0 ] && sudo=(sudo)
# Other package work on the machine (another build installing its own) holds
# dpkg's lock for a while: wait for it rather than fail.
"${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 update -qq
chosen=()
for entry in "${missing[@]}"; do
  pick=${entry%%|*}
  for package in ${entry//|/ }; do
    if offered "$package"; then pick=$package && break; fi
  done
  chosen+=("$pick")
done
echo "Installing: ${chosen[*]}"
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get -o DPkg::Lock::Timeout=600 install -y -qq \
  --no-install-recommends \
  "${chosen[@]}" >/dev/null
