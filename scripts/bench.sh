#!/usr/bin/env bash
# Builds and runs the benchmarks (frame cost of the scene, time of a pick,
# bitmap reading, the loop's frame rate and CPU use with and without swap
# pacing), then the browser build's figures beside them: frames per second in
# headless Chromium on SwiftShader in both sphere modes, the time from the
# page's load to its first frame, and the page's size, raw and compressed.
#   scripts/bench.sh [FILTER...]   everything (FILTER goes to the Google Benchmark programs)
#   scripts/bench.sh web           the browser build's figures alone
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# scripts/bench.sh windows [SECONDS]: the Windows program's frame rate and CPU under Wine.
if [ "${1:-}" = windows ]; then shift; exec "$top/scripts/bench-wine.sh" "$@"; fi

web_figures() {
  "$top/scripts/deps.sh" web-bench
  echo "== the browser build"
  local build="$top/build-web-bench"
  "$top/scripts/web_prepare.sh" "$build"
  ORRERY_ENGINE=chromium ORRERY_PAGE_DIR="$build/page" ORRERY_NODE_MODULES="$build/npm/node_modules" \
    ORRERY_PROFILE_DIR="$build/profiles" node "$top/bench/web_bench.mjs"
  # The page's size: each file as it lies on the server, and as a server that
  # compresses sends it (gzip at its usual level, 6).
  echo "the page's files: bytes raw, gzip -6"
  local raw=0 packed=0 file size small
  for file in index.html orrery.js orrery.wasm orrery.data icon.png; do
    size=$(stat -c %s "$build/page/$file")
    small=$(gzip -6 -c "$build/page/$file" | wc -c)
    printf '  %-12s %9d %9d\n' "$file" "$size" "$small"
    raw=$((raw + size)) packed=$((packed + small))
  done
  printf '  %-12s %9d %9d\n' total "$raw" "$packed"
}

if [ "${1:-}" = web ]; then
  web_figures
  exit 0
fi

"$top/scripts/deps.sh" bench
cmake -S "$top" -B "$top/build-bench" -DCMAKE_BUILD_TYPE=Release -DORRERY_TESTS=OFF \
  -DORRERY_BENCH=ON >/dev/null
cmake --build "$top/build-bench" -j"$(nproc)" >/dev/null
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
