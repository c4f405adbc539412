#!/usr/bin/env bash
# Builds orrery and runs it in a folder that holds the planet pictures.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
"$top/scripts/deps.sh" run
cmake -S "$top" -B "$top/build-release" -DCMAKE_BUILD_TYPE=Release -DORRERY_TESTS=OFF >/dev/null
cmake --build "$top/build-release" -j"$(nproc)" >/dev/null
cd "$top/build-release/run"
exec ../orrery "$@"
