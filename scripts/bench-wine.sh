#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Frame rate and CPU use of the Windows program from its zip under Wine, on the
# test session's Xvfb (llvmpipe: no vsync, and no refresh rate reported), and
# the CPU use of the Linux program on the same Xvfb for comparison. Each runs
# animating in its 800x600 window for SECONDS (default 20) after a start-up
# allowance. Frames are counted from Wine's trace of the swaps.
#   scripts/bench.sh windows [SECONDS]
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-20}
if [ -z "${DISPLAY:-}" ]; then
  "$top/scripts/deps.sh" windows
  "$top/scripts/deps.sh" run
  cmake -S "$top" -B "$top/build-windows" --toolchain "$top/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$top/build-windows" -j2 --target orrery >/dev/null
  cmake -S "$top" -B "$top/build-release" -DCMAKE_BUILD_TYPE=Release -DORRERY_TESTS=OFF >/dev/null
  cmake --build "$top/build-release" -j2 >/dev/null
  exec "$top/scripts/wine_session.sh" "$0" "$@"
fi
work=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; wait; rm -rf "$work"' EXIT
(cd "$top/build-windows" && cpack -G ZIP -B "$work" >/dev/null)
unzip -q "$work"/Orrery-*-win64.zip -d "$work"

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
window_up() { xdotool search --onlyvisible --name '^OpenGL Team Project$' >/dev/null 2>&1; }
# NAME PID [FRAMES-COMMAND]: CPU (and frames) over SECONDS once its window is up.
measure() {
  local name=$1 pid=$2 counter=${3:-} deadline=$((SECONDS + 30))
  until window_up; do [ $SECONDS -lt $deadline ] || { echo "$name: no window" >&2; exit 1; }; sleep 0.2; done
  sleep 3  # textures loaded, pacing settled
  local cpu0 frames0=0 start cpu1 frames1=0 end
  cpu0=$(cpu_ticks "$pid"); [ -z "$counter" ] || frames0=$($counter); start=$(date +%s.%N)
  sleep "$seconds"
  cpu1=$(cpu_ticks "$pid"); [ -z "$counter" ] || frames1=$($counter); end=$(date +%s.%N)
  awk -v n="$name" -v c=$((cpu1 - cpu0)) -v f=$((frames1 - frames0)) -v s="$start" -v e="$end" \
    -v hz="$(getconf CLK_TCK)" -v counted="${counter:+1}" 'BEGIN {
      t = e - s; printf "%-34s %5.1f%% of a core", n, 100 * c / hz / t
      if (counted) printf ", %5.1f frames/s", f / t
      printf " (%.1f s)\n", t }'
  xdotool key --window "$(xdotool search --onlyvisible --name '^OpenGL Team Project$' | tail -1)" Escape
  while kill -0 "$pid" 2>/dev/null; do sleep 0.2; done
}

swaps() { grep -c 'SwapBuffers' "$work/trace" || true; }
(cd "$work" && WINEDEBUG=trace+wgl exec wine "$(ls -d "$work"/Orrery-*-win64)/orrery.exe" 2>"$work/trace") &
until pid=$(pgrep -x orrery.exe); do sleep 0.2; done
measure "Windows build under Wine" "$pid" swaps
(cd "$top/build-release/run" && exec "$top/build-release/orrery") &
measure "Linux build" $!
