#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command on a private desktop for the Windows build: a 1024x768 Xvfb
# with an 800x600 mode for full screen, openbox, and a Wine prefix made on the
# first run and kept in $ORRERY_WINEPREFIX (default build-windows/wineprefix).
#   scripts/wine_session.sh COMMAND...
# The Windows build's tests (scripts/test.sh windows), its benchmark (scripts/bench.sh windows)
# and scripts/mutants.sh run in it.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${ORRERY_WINEPREFIX:-$top/build-windows/wineprefix}
# Quiet, and no prompts to install Mono or Gecko, which nothing here uses.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'set +eu; wineserver -k 2>/dev/null; kill $manager $server 2>/dev/null; wait' EXIT
trap 'exit 130' INT TERM

# Xvfb writes its display number once it takes clients. -noreset: it would
# forget the added mode when its last client leaves (between Wine programs).
coproc xvfb { exec Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset 2>/dev/null; }
server=$xvfb_PID
read -r -t 10 number <&"${xvfb[0]}" || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$number"
output=$(xrandr | awk '/ connected/ {print $1; exit}')
xrandr --newmode 800x600_orrery 29.50 800 824 896 992 600 603 607 624 -hsync +vsync
xrandr --addmode "$output" 800x600_orrery
# Without a window manager every window close under Wine stalls for about
# two seconds; openbox also gives the title bars that the tests read.
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
timeout 10 bash -c 'until xprop -root _NET_SUPPORTING_WM_CHECK | grep -q "window id"; do
  sleep 0.1; done' 2>/dev/null || true

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX" && wineboot -i >/dev/null 2>&1
  # Wine's own dialog fonts have no Hangul: NanumGothic takes their place.
  for font in "MS Shell Dlg" "MS Shell Dlg 2" Tahoma; do wine reg add \
    'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /d NanumGothic /f >/dev/null 2>&1; done
  wineserver -w
fi
# The server starts before the command, not inside it: a server started by
# the command's first Wine program would keep the command's output open.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true
"$@"
