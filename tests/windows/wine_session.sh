#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Runs a command inside a private desktop for the Windows build: Xvfb (with
# an 800x600 mode that full screen can switch to), the openbox window manager
# and a Wine prefix of its own, made on the first run and kept in
# $ORRERY_WINEPREFIX (default build-windows/wineprefix). Everything started
# here is stopped on every exit.
#   tests/windows/wine_session.sh COMMAND...
# The command gets DISPLAY, WINEPREFIX, WINEDEBUG and WINEDLLOVERRIDES.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
export WINEPREFIX=${ORRERY_WINEPREFIX:-$top/build-windows/wineprefix}
# Quiet, and no prompts to install Mono or Gecko, which nothing here uses.
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
screen=${ORRERY_WINE_SCREEN:-1024x768x24}

work=$(mktemp -d)
server='' manager=''
stop() {
  wineserver -k 2>/dev/null || true
  [ -n "$manager" ] && kill "$manager" 2>/dev/null || true
  [ -n "$server" ] && kill "$server" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM

# -noreset: Xvfb would forget the added display mode when its last client
# leaves (between two Wine programs).
Xvfb -displayfd 3 -screen 0 "$screen" -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
[ -s "$work/display" ] || { echo "Xvfb did not start" >&2; exit 1; }
export DISPLAY=":$(cat "$work/display")"
# Full screen asks XRandR (through Wine) for 800x600; plain Xvfb offers only
# its own size, so the mode is added unless the screen already is 800x600.
if [ "${screen%x*}" != 800x600 ] && [ -z "${ORRERY_WINE_NO_800x600:-}" ]; then
  output=$(xrandr | awk '/ connected/ {print $1; exit}')
  xrandr --newmode 800x600_orrery 29.50 800 824 896 992 600 603 607 624 -hsync +vsync
  xrandr --addmode "$output" 800x600_orrery
fi
# Without a window manager every window close under Wine stalls for about
# two seconds; openbox also gives the title bars that the tests read.
openbox --sm-disable >/dev/null 2>&1 &
manager=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done

if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  # Korean in the boxes: Wine's own dialog fonts have no Hangul, so they are
  # replaced by NanumGothic (fonts-nanum).
  for font in "MS Shell Dlg" "MS Shell Dlg 2" "Tahoma"; do
    wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$font" /t REG_SZ \
      /d NanumGothic /f >/dev/null 2>&1
  done
  wineserver -w
fi
# The server starts before the command, not inside it: a server started by
# the command's first Wine program would keep the command's output open.
wineserver -p
wine cmd /c exit >/dev/null 2>&1 || true
"$@"
