#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows program end to end under Wine, as a user meets it; runs inside
# tests/windows/wine_session.sh. Every wait is for a condition, with a deadline.
#   e2e_wine.sh ORRERY_EXE READ_BOXES_EXE PICTURE_DIR
set -uo pipefail
exe=$(realpath "$1") read_boxes=$(realpath "$2") pictures=$(realpath "$3")
source "$(dirname "$0")/checks.sh"

boxes() { wine "$read_boxes" 2>/dev/null | tr -d '\r'; }
boxes_are() { [ "$(boxes)" = "$1" ]; }
shows() { # WHAT BOXES: within 20 s the boxes on the screen are BOXES
  wait_until 20 boxes_are "$2" || { fail "$1: the boxes read '$(boxes)', not '$2'"; return 1; }
}
answer_box() { # CAPTION KEY: pressed until the boxes change (a key sent as the box maps is lost)
  local before; before=$(boxes)
  for _ in {1..10}; do
    press "$(window_named "$1")" "$2" && wait_until 2 eval '! boxes_are "$before"' && return
  done
  return 1
}
# A left click at X Y, the pointer coming from outside (Wine follows its moves).
click_at() { xdotool mousemove 1000 700 sleep 0.1 mousemove --window "$main" "$1" "$2" click 1; }
client_size() { xwininfo -id "$main" | awk '/Width:/ {w = $2} /Height:/ {print w "x" $2}'; }
desktop_width_is() { [ "$(xwininfo -root | awk '/Width:/ {print $2}')" = "$1" ]; }
full_screen() { # the desktop at 800x600, the newest main window all over it
  main=$(main_window)
  [ -n "$main" ] && desktop_width_is 800 && [ "$(client_size)" = 800x600 ] &&
    xwininfo -id "$main" | grep -q 'Absolute upper-left X:  0'
}
still() { grab a; sleep 0.3; grab b; compare -metric AE "$work/a.png" "$work/b.png" null: 2>/dev/null; }
moving() { ! still; }
sun=$'태양\t반지름(Km) : 695,500\\n질량(10*24승 Kg) : 1,989,000\\n밀도(g/cm3) : 1.41\\n중력(지구=1) : 28\\n자전주기 : 25.4일\\n공전주기 : -\tOpenGL Team Project'

echo "== The window, the Sun, Space, a click and its box; F1 there and back; Ctrl+C in full screen"
mkdir "$work/run" && cp "$pictures"/*.bmp "$work/run/"
start_in "$work/run" wine "$exe"
main_shown || { fail "no window titled 'OpenGL Team Project'"; exit 1; }
check "the client area is $(client_size), not 800x600" test "$(client_size)" = 800x600
wait_until 20 sun_at_centre || fail "the Sun is not at the centre (found ${red:-} ${green:-} ${blue:-})"
check "the picture does not move" wait_until 10 moving
press "$main" space
check "Space does not pause" wait_until 10 still
press "$main" space
check "Space does not resume" wait_until 10 moving
click_at 400 300
if shows "a click on the Sun" "$sun"; then  # input given to the frozen window comes to nothing
  xdotool key --window "$main" space
  click_at 400 300
  check "Return does not close the box" answer_box 태양 Return
  check "a Space given to the frozen window paused the picture after the box" wait_until 10 moving
  check "a click given to the frozen window opened a box after it: $(boxes)" boxes_are ''
fi
press "$main" F1
check "F1 does not switch to an 800x600 full screen" wait_until 20 full_screen
full=$main
press "$full" F1
check "F1 again does not give the desktop its own mode back" wait_until 20 desktop_width_is 1024
# The full-screen window's X window may outlive the mode by a moment: the windowed one is newer.
windowed_again() { main=$(main_window) && [ -n "$main" ] && [ "$main" != "$full" ]; }
check "no window after leaving full screen" wait_until 20 windowed_again
press "$main" F1
check "F1 a second time does not switch to full screen" wait_until 20 full_screen
click_at 400 300
if shows "a click on the full-screen Sun" "$sun"; then
  kill -INT "$program"  # wine runs the program in the process it was started as
  check "Ctrl+C leaves the box open" wait_until 10 boxes_are ''
  ended "Ctrl+C with a box open in full screen"
  check "Ctrl+C kills the program in full screen, the desktop left at 800x600" \
    wait_until 10 desktop_width_is 1024
fi

echo "== No pictures, no 800x600: thirteen boxes owned by the window; F1 asks, No ends it with 0"
output=$(xrandr | awk '/ connected/ {print $1; exit}')
xrandr --delmode "$output" 800x600_orrery
mkdir "$work/empty" && start_in "$work/empty" wine "$exe"
for name in Sun Mercury Venus earth Moon Mars Jupiter Saturn Uranus Neptune Pluto Saturn2 Space; do
  shows "no pictures" "Error	Failed to open DIB file $name.bmp.\\n	OpenGL Team Project" &&
    answer_box Error Return || break
done
check "no window after the boxes" wait_until 20 has_main_window
check "a fourteenth box: $(boxes)" boxes_are ''
press "$(main_window)" F1
shows "F1 without 800x600" $'2nd Term OpenGL Project\tThe Requested Fullscreen Mode Is Not Supported By\\nYour Video Card. Use Windowed Mode Instead?\t' &&
  answer_box '2nd Term OpenGL Project' n
shows "No to windowed mode" $'ERROR\tProgram Will Now Close.\t' && answer_box ERROR Return
ended "No to windowed mode"
xrandr --addmode "$output" 800x600_orrery

echo "== A display scaled to 112.5%: a window of 900x675 whose picture fills it"
# Wine reads the scale as its server starts. The new server gets no output of
# the test's own, which it would keep open (and CTest waits for it to close).
set_scale() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k; wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}
set_scale 108
start_in "$work/run" wine "$exe"
main_shown || fail "no window on the scaled display"
check "the scaled client area is $(client_size), not 900x675" test "$(client_size)" = 900x675
check "the Sun is not at the centre of the scaled window" wait_until 20 sun_at_centre 450 337
click_at 450 337
shows "a click on the scaled window's Sun" "$sun"
kill -INT "$program"
ended "Ctrl+C on the scaled display"
set_scale 96

[ $failures -eq 0 ] && echo "all end-to-end checks passed"
exit $((failures > 0))
