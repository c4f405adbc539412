#!/usr/bin/env bash
# Builds and runs the benchmarks (frame cost of the scene, bitmap reading).
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh" bench
cmake -S "$top" -B "$top/build-bench" -DCMAKE_BUILD_TYPE=Release -DORRERY_TESTS=OFF \
  -DORRERY_BENCH=ON >/dev/null
cmake --build "$top/build-bench" -j"$(nproc)" >/dev/null
for bench in "$top"/build-bench/bench/bench_*; do
  [ -x "$bench" ] || continue
  echo "== $(basename "$bench")"
  "$bench" "$@"
done
