#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the Debian package of orrery (Release build in build-package/) and
# prints its path and size. Install it with `sudo apt install ./<path>`.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/build-package"
"$top/scripts/deps.sh" package
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORRERY_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null
rm -f "$build"/orrery_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
for deb in "$build"/orrery_*.deb; do
  echo "${deb#"$top"/} ($(du -h "$deb" | cut -f1))"
done
