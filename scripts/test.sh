#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds and runs every test: the unit tests under AddressSanitizer and
# UndefinedBehaviorSanitizer, a bounded fuzzing run of the bitmap reader, and
# then the whole suite (unit and end-to-end under Xvfb), ending with ctest's
# summary.
#   scripts/test.sh            the Linux build
#   scripts/test.sh windows    the Windows build, cross-built with MinGW-w64 and
#                              run under Wine (unit and end to end)
#   scripts/test.sh web [ENGINE]  the browser build, built with Emscripten and tested
#                              (tests/web/, node --test) in ENGINE: chromium (headless),
#                              firefox or webkit (WebKitGTK; both on their own Xvfb); each
#                              of the three in turn without ENGINE
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

if [ "${1:-}" = web ]; then
  "$top/scripts/deps.sh" web-test
  exec "$top/tests/web/run.sh" "$top/build-web" "${2:-all}"
fi

if [ "${1:-}" = windows ]; then
  "$top/scripts/deps.sh" windows
  echo "== The Windows build, tested under Wine"
  cmake -S "$top" -B "$top/build-windows" --toolchain "$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$top/build-windows" -j"$jobs" >/dev/null
  exec "$top/scripts/wine_session.sh" \
    ctest --test-dir "$top/build-windows" --output-on-failure --timeout 600
fi
"$top/scripts/deps.sh" test

echo "== No circle of modules in the window-system layer"
"$top/scripts/module_cycles.sh" platform

echo "== Unit tests under ASan and UBSan"
cmake -S "$top" -B "$top/build-asan" -DCMAKE_BUILD_TYPE=Debug -DORRERY_SANITIZE=ON >/dev/null
cmake --build "$top/build-asan" -j"$jobs" >/dev/null
(cd "$top/build-asan" && ctest -L unit -j"$jobs" --output-on-failure --timeout 600)

if [ -x "$top/scripts/fuzz.sh" ]; then
  echo "== Fuzzing the bitmap reader"
  "$top/scripts/fuzz.sh" "${ORRERY_FUZZ_SECONDS:-60}"
fi

echo "== All tests"
cmake -S "$top" -B "$top/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$top/build" -j"$jobs" >/dev/null
cd "$top/build"
ctest --output-on-failure --timeout 600
