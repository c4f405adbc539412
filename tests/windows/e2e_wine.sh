#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows packages and program end to end under Wine, as a user meets them;
# runs inside tests/windows/wine_session.sh. Every wait has a deadline.
#   e2e_wine.sh BUILD_DIR READ_BOXES_EXE
set -uo pipefail
build=$(realpath "$1") read_boxes=$(realpath "$2") work=$(mktemp -d)
. "$(dirname "$0")/../support/e2e.sh"
# A Wine window's X window, by its exact title: the newest, as the X windows
# of windows closed a moment ago may still be about.
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sort -n | tail -1; }
main_window() { window_named 'OpenGL Team Project'; }
main_shown() { wait_until 30 eval '[ -n "$(main_window)" ]' && main=$(main_window); }  # as $main
# A real key press (XTEST) into WINDOW, made the active window first. (A
# synthetic key sent to a window leaves Wine holding the key down, and the
# next box to open takes its release as an answer.)
press() { xdotool windowactivate --sync "$1" key "$2" 2>/dev/null; }
# A left click at X Y, the pointer coming from outside (Wine follows its moves).
click_at() { xdotool mousemove 1000 700 sleep 0.1 mousemove --window "$main" "$1" "$2" click 1; }
sun_at() { # X Y: the Sun there, a bright yellowish white
  [ "$(count "$main" "1x1+$1+$2" 'r > 180 && g > 160 && b < r')" = 1 ]
}
client_size() { xwininfo -id "$main" | awk '/Width:/ {w = $2} /Height:/ {print w "x" $2}'; }
desktop_width_is() { [ "$(xwininfo -root | awk '/Width:/ {print $2}')" = "$1" ]; }
full_screen() { # the desktop at 800x600, the newest main window all over it
  main=$(main_window)
  [ -n "$main" ] && desktop_width_is 800 && [ "$(client_size)" = 800x600 ] &&
    xwininfo -id "$main" | grep -q 'Absolute upper-left X:  0'
}
boxes() { wine "$read_boxes" 2>/dev/null | tr -d '\r'; }
boxes_are() { [ "$(boxes)" = "$1" ]; }
shows() { # WHAT BOXES: within 20 s the boxes on the screen are BOXES
  wait_until 20 boxes_are "$2" || { fail "$1: the boxes read '$(boxes)', not '$2'"; return 1; }
}
answered() { press "$(window_named "$1")" "$2" && wait_until 2 eval '! boxes_are "$before"'; }
answer_box() { # CAPTION KEY: pressed until the boxes change (a key sent as the box maps is lost)
  local before; before=$(boxes); wait_until 20 answered "$1" "$2"
}
# Wine reads the scale as its server starts. The new server gets no output of
# the test's own, which it would keep open (and CTest waits for it to close).
set_scale() { # DPI
  wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
  wineserver -k; wineserver -w
  wineserver -p </dev/null >/dev/null 2>&1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}
sun=$'태양\t반지름(Km) : 695,500\\n질량(10*24승 Kg) : 1,989,000\\n밀도(g/cm3) : 1.41\\n중력(지구=1) : 28\\n자전주기 : 25.4일\\n공전주기 : -\tOpenGL Team Project'
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }

echo "== Installed silently; the shortcut on a display scaled to 112.5% without 800x600; uninstalled"
folder="$WINEPREFIX/drive_c/Program Files/Orrery"
menu='ProgramData\Microsoft\Windows\Start Menu\Programs\Orrery'
listed() { wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orrery' >/dev/null 2>&1; }
wine "$work"/Orrery-*-win64.exe /S
wait_until 60 test -f "$folder/Uninstall.exe" || fail "no uninstaller in Program Files\\Orrery"
# (A picture not installed would show its box before the window.)
for name in orrery.exe LICENSE CREDITS.md; do [ -f "$folder/$name" ] || fail "no $name"; done
listed || fail "not listed among the installed programs"
output=$(xrandr | awk '/ connected/ {print $1; exit}')
xrandr --delmode "$output" 800x600_orrery
set_scale 108
# The shortcut starts the program in the folder of its pictures.
start_in "$work" wine start /wait "C:\\$menu\\Orrery.lnk"
main_shown || fail "no window from the Start-menu shortcut"
check "the scaled client area is $(client_size), not 900x675" test "$(client_size)" = 900x675
check "no Sun at the scaled window's centre (pictures not found?)" wait_until 20 sun_at 450 337
click_at 450 337
shows "a click on the scaled window's Sun" "$sun" && answer_box 태양 Return
press "$main" F1
shows "F1 without 800x600" $'2nd Term OpenGL Project\tThe Requested Fullscreen Mode Is Not Supported By\\nYour Video Card. Use Windowed Mode Instead?\t' &&
  answer_box '2nd Term OpenGL Project' n
shows "No to windowed mode" $'ERROR\tProgram Will Now Close.\t' && answer_box ERROR Return
ended "No to windowed mode"
set_scale 96
xrandr --addmode "$output" 800x600_orrery
wine "$folder/Uninstall.exe" /S
# The uninstaller runs a copy of itself and returns at once.
wait_until 60 test ! -e "$folder" || fail "Program Files\\Orrery left behind: $(ls "$folder" 2>&1)"
wait_until 30 test ! -e "$WINEPREFIX/drive_c/${menu//\\//}" || fail "the Start-menu folder left behind"
listed && fail "still listed among the installed programs"

echo "== The zip, unpacked: the Sun, a click, its box and frozen owner; F1 both ways; Ctrl+C"
unzip -q "$work"/Orrery-*-win64.zip -d "$work"
# As a double click in Explorer does: the program's own folder is the working folder.
start_in "$(ls -d "$work"/Orrery-*-win64)" wine orrery.exe
main_shown || { fail "no window titled 'OpenGL Team Project'"; exit 1; }
check "the client area is $(client_size), not 800x600" test "$(client_size)" = 800x600
check "the Sun is not at the centre" wait_until 20 sun_at 400 300
click_at 400 300
if shows "a click on the Sun" "$sun"; then
  click_at 400 300  # given to the frozen window: comes to nothing
  check "Return does not close the box" answer_box 태양 Return
fi
press "$main" F1
check "F1 does not switch to an 800x600 full screen" wait_until 20 full_screen
check "a click given to the frozen window opened a box after it: $(boxes)" boxes_are ''
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

exit $((failures > 0))
