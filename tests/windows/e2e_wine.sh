#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows program end to end under Wine, as a user meets it: runs inside
# tests/windows/wine_session.sh (Xvfb with an 800x600 mode, openbox, a private
# Wine prefix). Every wait is for a condition, with a deadline.
#   e2e_wine.sh ORRERY_EXE READ_BOXES_EXE PICTURE_DIR
set -uo pipefail
exe=$(realpath "$1") read_boxes=$(realpath "$2") pictures=$(realpath "$3")
source "$(dirname "$0")/checks.sh"

start_program() { # FOLDER: the program starts in it, as its shortcut starts it
  (cd "$1" && exec wine "$exe") >"$work/out" 2>&1 &
  program=$!
}
ended_with() { # STATUS: the program ends, within 20 s, with STATUS
  local status
  wait_until 20 bash -c "! kill -0 $program 2>/dev/null" || { fail "program still running; boxes: $(boxes)"; return 1; }
  wait "$program"; status=$?
  program=''
  [ "$status" -eq "$1" ] || { fail "exit status $status, expected $1"; return 1; }
}
boxes() { wine "$read_boxes" 2>/dev/null | tr -d '\r'; }
box_shown() { boxes | grep -q "^$1	"; }
no_box() { [ -z "$(boxes)" ]; }
# A real key press (XTEST) into WINDOW, made the active window first. (A
# synthetic key sent to a window leaves Wine holding the key down, and the
# next box to open takes its release as an answer.)
press() { xdotool windowactivate --sync "$1" key "$2" 2>/dev/null; }
# A left click at X Y of the client area, the pointer coming from outside as a
# user's does (Wine takes the pointer's place from its moves).
click_at() { xdotool mousemove 1000 700 sleep 0.1 mousemove --window "$main" "$1" "$2" click 1; }
# Presses KEY in the newest box captioned CAPTION until the boxes on the
# screen change: a key sent in the moment the box maps can be lost.
answer_box() { # CAPTION KEY
  local before
  before=$(boxes)
  for _ in $(seq 10); do
    press "$(window_named "$1")" "$2"
    wait_until 2 bash -c "[ \"\$(wine '$read_boxes' 2>/dev/null | tr -d '\r')\" != \"\$0\" ]" "$before" && return 0
  done
  return 1
}
same_pictures() { compare -metric AE "$work/$1.png" "$work/$2.png" null: 2>/dev/null; }
screen_width() { xwininfo -root | awk '/Width:/ {print $2}'; }
moved() { grab b; ! same_pictures a b; }
still() { grab a; sleep 0.3; grab b; same_pictures a b; }

echo "== The window, the Sun, the pause, a click and its box, F1 and back, Escape"
mkdir "$work/run" && cp "$pictures"/*.bmp "$work/run/"
start_program "$work/run"
wait_until 30 has_main_window || { fail "no window titled 'OpenGL Team Project'"; exit 1; }
main=$(main_window)
eval "$(xwininfo -id "$main" | awk '/Width:/ {print "width=" $2} /Height:/ {print "height=" $2}')"
check "the client area is 800x600, not ${width}x${height}" test "$width.$height" = 800.600
check "the Sun is not at the centre (found $(grab a; pixel a 400 300))" wait_until 20 sun_at_centre
check "the picture does not move" wait_until 10 moved
press "$main" space
check "Space does not pause" wait_until 10 still
press "$main" space
check "Space does not resume" wait_until 10 moved

click_at 400 300
sun=$'태양\t반지름(Km) : 695,500\\n질량(10*24승 Kg) : 1,989,000\\n밀도(g/cm3) : 1.41\\n중력(지구=1) : 28\\n자전주기 : 25.4일\\n공전주기 : -\tOpenGL Team Project'
if wait_until 15 box_shown 태양; then
  check "the Sun's box reads '$(boxes)'" test "$(boxes)" = "$sun"
  # Input given to the frozen window is not acted on afterwards.
  xdotool key --window "$main" space
  click_at 400 300
  check "Return does not close the box" answer_box 태양 Return
  check "a click or Space given to the frozen window acted after the box" wait_until 10 moved
  check "a click given to the frozen window opened another box" bash -c "! (sleep 1; wine '$read_boxes' | grep -q .)"
else
  fail "no box captioned 태양 after a click on the Sun"
fi

press "$main" F1
full_screen() { w=$(main_window); [ -n "$w" ] && [ "$(screen_width)" = 800 ] &&
  xwininfo -id "$w" | grep -q 'Width: 800' && xwininfo -id "$w" | grep -q 'Absolute upper-left X:  0'; }
check "F1 does not switch to an 800x600 full screen" wait_until 20 full_screen
main=$(main_window)
press "$main" F1
check "F1 again does not give the desktop its own mode back" wait_until 20 bash -c '[ "$(xwininfo -root | awk "/Width:/ {print \$2}")" = 1024 ]'
wait_until 20 has_main_window && main=$(main_window)
press "$main" Escape
ended_with 0

echo "== Thirteen missing pictures: thirteen boxes owned by the window; Ctrl+C ends with 0"
mkdir "$work/empty"
start_program "$work/empty"
seen=()
for _ in $(seq 13); do
  wait_until 20 box_shown Error || break
  line=$(boxes)
  seen+=("$line")
  answer_box Error Return || break
done
expected=()
for name in Sun Mercury Venus earth Moon Mars Jupiter Saturn Uranus Neptune Pluto Saturn2 Space; do
  expected+=("Error	Failed to open DIB file $name.bmp.\\n	OpenGL Team Project")
done
check "the boxes were: $(printf '[%s] ' "${seen[@]}")" test "$(printf '%s\n' "${seen[@]}")" = "$(printf '%s\n' "${expected[@]}")"
check "no window after the boxes" wait_until 20 has_main_window
check "a fourteenth box" no_box
kill -INT "$program"  # wine runs the program in the process it was started as
ended_with 0

echo "== Ctrl+C in full screen with a box open: the box closes, the desktop gets its mode back, status 0"
start_program "$work/run"
wait_until 30 has_main_window || fail "no window"
main=$(main_window)
wait_until 20 sun_at_centre || fail "no Sun drawn"
press "$main" F1
check "F1 does not switch to full screen" wait_until 20 full_screen
main=$(main_window)
click_at 400 300
if wait_until 15 box_shown 태양; then
  kill -INT "$program"
  check "Ctrl+C leaves the box open" wait_until 10 no_box
  ended_with 0
  # Ended the usual way, through the window's close: not killed in full screen.
  check "Ctrl+C leaves the desktop at 800x600" wait_until 10 bash -c '[ "$(xwininfo -root | awk "/Width:/ {print \$2}")" = 1024 ]'
else
  fail "no box captioned 태양 after a click on the full-screen Sun"
fi

echo "== Full screen refused: the question, No, 'Program Will Now Close.', status 0"
output=$(xrandr | awk '/ connected/ {print $1; exit}')
xrandr --delmode "$output" 800x600_orrery
start_program "$work/run"
wait_until 30 has_main_window || fail "no window"
press "$(main_window)" F1
question=$'2nd Term OpenGL Project\tThe Requested Fullscreen Mode Is Not Supported By\\nYour Video Card. Use Windowed Mode Instead?\t'
if wait_until 20 box_shown '2nd Term OpenGL Project'; then
  check "the question reads '$(boxes)'" test "$(boxes)" = "$question"
  answer_box '2nd Term OpenGL Project' n
  check "No is not followed by 'Program Will Now Close.'" wait_until 20 box_shown ERROR
  check "the last box reads '$(boxes)'" test "$(boxes)" = $'ERROR\tProgram Will Now Close.\t'
  answer_box ERROR Return
  ended_with 0
else
  fail "F1 on a screen without 800x600 asks nothing"
fi
xrandr --addmode "$output" 800x600_orrery

echo "== A display scaled to 112.5%: a window of 900x675 whose picture fills it"
# Wine reads the scale at the start of its server. The new server and the
# services it starts get no output of the test's own, which they would keep
# open (and CTest waits for it to close).
set_scale() {
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k; wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}
set_scale 108
start_program "$work/run"
if wait_until 30 has_main_window; then
  main=$(main_window)
  eval "$(xwininfo -id "$main" | awk '/Width:/ {print "width=" $2} /Height:/ {print "height=" $2}')"
  check "the scaled client area is ${width}x${height}, not 900x675" test "$width.$height" = 900.675
  check "the Sun is not at the centre of the scaled window" wait_until 20 sun_at_centre 450 337
  click_at 450 337
  check "a click on the scaled window's Sun shows no box" wait_until 15 box_shown 태양
  kill -INT "$program"
  ended_with 0
else
  fail "no window on the scaled display"
fi
set_scale 96

[ $failures -eq 0 ] && echo "all end-to-end checks passed"
exit $((failures > 0))
