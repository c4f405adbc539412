#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the browser page in BUILD (default build-web) with what the tests need beside it (scripts/web_prepare.sh) and
# runs the browser tests on it in one engine, or in each of the three in turn (default all):
#   tests/web/run.sh [BUILD [chromium|firefox|webkit|all]]
# The page is served by the tests on 127.0.0.1 only.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:-$top/build-web}")
engines=${2:-all}
[ "$engines" = all ] && engines="chromium firefox webkit"
"$top/scripts/web_prepare.sh" "$build"
# The frames the page's are compared with, drawn natively by Mesa.
"$here/reference/build.sh" "$build"
export ORRERY_REFERENCE_FRAME="$build/reference_frame"
# ... from the pictures the page carries, decoded as the page decodes them.
rm -rf "$build/reference_pictures" && mkdir -p "$build/reference_pictures"
for picture in "$build"/page/*.webp; do
  name=${picture##*/}
  dwebp -quiet -bmp "$picture" -o "$build/reference_pictures/${name%.webp}.bmp"
done
export ORRERY_REFERENCE_PICTURES="$build/reference_pictures"
export ORRERY_PAGE_DIR="$build/page" ORRERY_NODE_MODULES="$build/npm/node_modules" \
  ORRERY_PROFILE_DIR="$build/profiles"
status=0
for engine in $engines; do
  case $engine in chromium | firefox | webkit) ;; *) echo "no engine $engine" >&2; exit 2 ;; esac
  echo "== the browser tests in $engine"
  files=()
  for file in "$here"/*.test.mjs; do
    reason=$(sed -n "s/^$engine ${file##*/} //p" "$here/not_run.txt")
    if [ -n "$reason" ]; then echo "NOT RUN in $engine: ${file##*/}: $reason"; else files+=("$file"); fi
  done
  ORRERY_ENGINE=$engine node --test "${files[@]}" || status=1
done
exit $status
