#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the browser page with Emscripten (Release) into BUILD/page/:
# index.html with its style and scripts, orrery.js, orrery.wasm, the pictures
# as WebP, the icon, LICENSE and the pictures' CREDITS.md. Prints nothing but
# errors.
#   scripts/web_page.sh BUILD
# The caller installs Emscripten first (scripts/deps.sh web-run or another web set).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: $0 BUILD}
# Debian's Emscripten runs its JavaScript tools with the system's node; a
# Node.js from outside Debian does not look in Debian's module folder, and
# every link fails with "Cannot find module 'acorn'".
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
mkdir -p "$build"
log="$build/web_page.log"
emcmake cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORRERY_TESTS=OFF >"$log" 2>&1 ||
  { cat "$log"; exit 1; }
cmake --build "$build" -j"$(nproc)" >"$log" 2>&1 || { tail -40 "$log"; exit 1; }
# The pictures' bundle of builds before the pictures were WebP: no longer
# part of the page.
rm -f "$build/page/orrery.data"
