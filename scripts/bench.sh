#!/usr/bin/env bash
# Builds and runs the benchmarks (frame cost of the scene, time of a pick,
# bitmap reading, the loop's frame rate and CPU use with and without swap
# pacing), then the browser build's figures beside them: frames per second in
# headless Chromium on SwiftShader in both sphere modes, the time from the
# page's load to its first frame, and the bytes of a first visit, raw and
# compressed.
#   scripts/bench.sh [FILTER...]   everything (FILTER goes to the Google Benchmark programs)
#   scripts/bench.sh web           the browser build's figures alone
# The browser figures compare the page before the OpenGL subset kept its geometry with today's:
# frames, picks and memory (ORRERY_BENCH_PARTS=frames,picks,memory names some of them), then
# the native bench_scene and bench_picking (ORRERY_BENCH_NATIVE=0: not).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# scripts/bench.sh windows [SECONDS]: the Windows program's frame rate and CPU under Wine.
if [ "${1:-}" = windows ]; then shift; exec "$top/scripts/bench-wine.sh" "$@"; fi

# The page as it was before the OpenGL subset kept its display lists and GLU's
# shapes in static buffers (commit 2a9423b; ORRERY_BENCH_BEFORE names another),
# built from that commit's own tree beside today's, for figures side by side.
before=${ORRERY_BENCH_BEFORE:-2a9423b}

web_figures() {
  "$top/scripts/deps.sh" web-bench
  echo "== the browser build"
  local build="$top/build-web-bench" old="$top/build-web-bench-before"
  "$top/scripts/web_prepare.sh" "$build"
  if [ "$(cat "$old/commit" 2>/dev/null)" != "$(git -C "$top" rev-parse "$before")" ]; then
    rm -rf "$old" && mkdir -p "$old/source"
    git -C "$top" archive "$before" | tar -x -C "$old/source"
    "$old/source/scripts/web_page.sh" "$old/build"
    git -C "$top" rev-parse "$before" >"$old/commit"
  fi
  ORRERY_NODE_MODULES="$build/npm/node_modules" ORRERY_PROFILE_DIR="$build/profiles" \
    node "$top/bench/web_bench.mjs" "before=$old/build/page" "after=$build/page"
  # The same scene natively (Mesa's OpenGL, not the subset), for comparison.
  if [ "${ORRERY_BENCH_NATIVE:-1}" = 1 ]; then
    native_build
    "$top/build-bench/bench/bench_scene"
    "$top/build-bench/bench/bench_picking"
  fi
  # A first visit: every file of the page but the licence and the pictures'
  # credits, which no visit fetches unless asked for (the markup, its style
  # and scripts, the icon, the code and the pictures), each as it lies on the
  # server and as a server that compresses sends it (gzip at its usual level,
  # 6). The pictures are WebP, which gzip does not shrink.
  echo "a first visit: bytes raw, gzip -6"
  local raw=0 packed=0 file size small
  for file in $(cd "$build/page" && ls | grep -vx -e LICENSE -e CREDITS.md); do
    size=$(stat -c %s "$build/page/$file")
    small=$(gzip -6 -c "$build/page/$file" | wc -c)
    printf '  %-12s %9d %9d\n' "$file" "$size" "$small"
    raw=$((raw + size)) packed=$((packed + small))
  done
  printf '  %-12s %9d %9d\n' total "$raw" "$packed"
}

native_build() {
  "$top/scripts/deps.sh" bench
  cmake -S "$top" -B "$top/build-bench" -DCMAKE_BUILD_TYPE=Release -DORRERY_TESTS=OFF \
    -DORRERY_BENCH=ON >/dev/null
  cmake --build "$top/build-bench" -j"$(nproc)" >/dev/null
}

if [ "${1:-}" = web ]; then
  web_figures
  exit 0
fi

native_build
ORRERY_BENCH_NATIVE=0
for bench in "$top"/build-bench/bench/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  case "$(basename "$bench")" in
    # The loop's pacing needs a real window: on Xvfb unless a display is set.
    bench_pacing)
      if [ -n "${DISPLAY:-}" ]; then "$bench"; else
        xvfb-run -a -s "-screen 0 1024x768x24" "$bench"; fi ;;
    *) "$bench" "$@" ;;
  esac
done
web_figures
