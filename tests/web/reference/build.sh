#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds BUILD/reference_frame, the browser tests' reference frames drawn by Mesa's OpenGL 1.1
# (tests/gl11/oracle_frames.cpp), when a source is newer; needs g++, OSMesa and GLU (deps.sh web-test).
#   tests/web/reference/build.sh BUILD
set -euo pipefail
top=$(cd "$(dirname "$0")/../../.." && pwd)
build=${1:?usage: $0 BUILD}
tool="$build/reference_frame"
sources=("$top"/tests/web/reference/no_window.cpp "$top"/tests/gl11/oracle_{frames,mesa}.cpp)
# The scene without the pick, whose boxes need a window system; POSIX's file mapping.
for source in "$top"/{render,image,scene}/*.cpp; do
  case "${source##*/}" in picking.cpp | *_win32.cpp) ;; *) sources+=("$source") ;; esac
done
newer=$(find "${sources[@]}" "$top"/{scene,render,image} -newer "$tool" -print -quit 2>/dev/null || :)
[ -x "$tool" ] && [ -z "$newer" ] && exit 0
mkdir -p "$build"
# OSMesa first, so that every gl* call reaches the offscreen context.
g++ -std=c++17 -O1 -w -I"$top" -I"$top/tests" -o "$tool" "${sources[@]}" -lOSMesa -lGLU
