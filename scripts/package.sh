#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes orrery's packages and prints their paths and sizes.
#   scripts/package.sh           the Debian package (Release build in build-package/);
#                                install it with `sudo apt install ./<path>`
#   scripts/package.sh windows   the Windows installer and zip, cross-built with
#                                MinGW-w64 in build-windows-package/:
#                                Orrery-<version>-win64.exe and Orrery-<version>-win64.zip
#   scripts/package.sh web       the browser page, built with Emscripten in build-web-package/:
#                                the folder orrery-<version>-web/ (index.html with the .js,
#                                .wasm and .data beside it) for any static web server, and
#                                orrery-<version>-web.zip of it
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

if [ "${1:-}" = web ]; then
  build="$top/build-web-package"
  "$top/scripts/deps.sh" web-package
  "$top/scripts/web_page.sh" "$build"
  version=$(sed -n 's/^project(orrery VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
  name="orrery-$version-web"
  rm -rf "${build:?}/$name" "$build/$name.zip"
  cp -r "$build/page" "$build/$name"
  (cd "$build" && zip -qr -X "$name.zip" "$name")
  echo "${build#"$top"/}/$name/ ($(du -sh "$build/$name" | cut -f1))"
  echo "${build#"$top"/}/$name.zip ($(du -h "$build/$name.zip" | cut -f1))"
  exit 0
fi

if [ "${1:-}" = windows ]; then
  build="$top/build-windows-package"
  "$top/scripts/deps.sh" windows-package
  cmake -S "$top" -B "$build" --toolchain "$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DORRERY_TESTS=OFF >/dev/null
  cmake --build "$build" -j"$jobs" >/dev/null
  # The shipped program carries no symbols.
  x86_64-w64-mingw32-strip "$build/orrery.exe"
  rm -f "$build"/Orrery-*-win64.*
  (cd "$build" && cpack >cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
  for package in "$build"/Orrery-*-win64.exe "$build"/Orrery-*-win64.zip; do
    echo "${package#"$top"/} ($(du -h "$package" | cut -f1))"
  done
  exit 0
fi

build="$top/build-package"
"$top/scripts/deps.sh" package
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORRERY_TESTS=OFF >/dev/null
cmake --build "$build" -j"$jobs" >/dev/null
rm -f "$build"/orrery_*.deb
(cd "$build" && cpack -G DEB >cpack.log 2>&1) || { cat "$build/cpack.log"; exit 1; }
for deb in "$build"/orrery_*.deb; do
  echo "${deb#"$top"/} ($(du -h "$deb" | cut -f1))"
done
