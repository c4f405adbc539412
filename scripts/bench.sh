#!/usr/bin/env bash
# Builds and runs the benchmarks (frame cost of the scene, time of a pick,
# bitmap reading, the loop's frame rate and CPU use with and without swap
# pacing).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
# scripts/bench.sh windows [SECONDS]: the Windows program's frame rate and CPU under Wine.
if [ "${1:-}" = windows ]; then shift; exec "$top/scripts/bench-wine.sh" "$@"; fi
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
