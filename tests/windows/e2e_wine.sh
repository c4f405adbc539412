#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows packages and program end to end under Wine, as a user meets them (inside
# scripts/wine_session.sh).   e2e_wine.sh BUILD_DIR
set -uo pipefail
build=$(realpath "$1") work=$(mktemp -d)
. "$(dirname "$0")/../support/e2e.sh"
# A Wine window's X window by its exact title (a box's caption), the newest: closed ones linger.
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sort -n | tail -1; }
main_window() { window_named 'OpenGL Team Project'; }
main_shown() { wait_until 30 eval '[ -n "$(main_window)" ]' && main=$(main_window); }  # as $main
box_open() { [ -n "$(window_named "$1")" ]; }  # CAPTION
# A real key press (XTEST) into WINDOW, made active first: Wine holds a synthetic key down, and
# the next box takes its release as an answer.
press() { xdotool windowactivate --sync "$1" key "$2" 2>/dev/null; }
# A left click at X Y, the pointer coming from outside (Wine follows its moves).
click_at() { xdotool mousemove 1000 700 sleep 0.1 mousemove --window "$main" "$1" "$2" click 1; }
sun_at() { [ "$(count "$main" "1x1+$1+$2" 'r > 180 && g > 160 && b < r')" = 1 ]; }  # X Y: bright yellowish
client_size() { xwininfo -id "$main" | awk '/Width:/ {w = $2} /Height:/ {print w "x" $2}'; }
desktop_width_is() { [ "$(xwininfo -root | awk '/Width:/ {print $2}')" = "$1" ]; }
# The desktop at 800x600, the newest main window all over it.
full_screen() { main=$(main_window) && [ -n "$main" ] && desktop_width_is 800 &&
  [ "$(client_size)" = 800x600 ] && xwininfo -id "$main" | grep -q 'Absolute upper-left X:  0'; }
# CAPTION KEY: pressed, and the box closed (a key sent as the box maps is lost: tried again).
answered() { local caption=$1; press "$(window_named "$1")" "$2" &&
  wait_until 2 eval '! box_open "$caption"'; }
# Wine reads the scale as its server starts; the new server gets none of the test's output (which
# it would keep open, and CTest wait for).
set_scale() { wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f &>/dev/null
  wineserver -k; wineserver -w; { wineserver -p; wine cmd /c exit; } </dev/null &>/dev/null; }  # DPI
# Paused, the picture is drawn again on a resize: to 700x500 and back, each drawing waited for (X
# keeps the top left as it was till then); one drawing for both could come before a pass's keys.
shot() { import -window "$main" -crop "$1" rgb:- 2>/dev/null | md5sum; }  # GEOMETRY
redrawn() { local size was; for size in 700x500 800x600; do was=$(shot 700x500+0+0)
    xdotool windowsize "$main" ${size/x/ }; wait_until 10 eval '[ "$(shot 700x500+0+0)" != "$was" ]'
  done; shot 800x600+0+0; }
acts() { local what=$1; shift; before=$(redrawn); "$@"  # WHAT COMMAND...: the picture changes
  check "$what: the picture did not change" wait_until 10 eval '[ "$(redrawn)" != "$before" ]'; }
right_drag() { xdotool mousemove 1000 700 sleep 0.1 mousemove --window "$main" 300 300 mousedown 3 \
  mousemove_relative 40 30 sleep 0.2 mouseup 3; }
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 || { cat "$work/cpack.log"; exit 1; }

echo "== The licence; installed silently, then a newer version over it"
# Windows's makensis reads a licence without a byte-order mark in the ANSI code page; Debian's
# reads it as UTF-8 in every locale, so here only the mark itself shows.
head -c 3 "$build/licence-and-credits.txt" | cmp -s - <(printf '\xef\xbb\xbf') ||
  fail "the licence file has no UTF-8 byte-order mark: Windows's makensis garbles its names"
folder="$WINEPREFIX/drive_c/Program Files/Orrery"
menu="$WINEPREFIX/drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Orrery"
uninstall='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
versions() { wine reg query "$uninstall" /s /v DisplayVersion 2>/dev/null | tr -d '\r' | awk '/DisplayVersion/ {print $3}'; }
wine "$work"/Orrery-*-win64.exe /S
for name in Uninstall.exe orrery.exe LICENSE CREDITS.md; do wait_until 60 test -f "$folder/$name" || fail "no $name"; done
[ -n "$(versions)" ] || fail "not listed among the installed programs"
# The program runs as the user who starts it: no UAC prompt at each start.
grep -qa 'requestedExecutionLevel level="asInvoker"' "$folder/orrery.exe" ||
  fail "the program asks for another execution level than the user's"
# A newer version installed over it: one entry listed, one shortcut, the newer version's.
cpack --config "$build/CPackConfig.cmake" -B "$work/newer" -G NSIS -D CPACK_PACKAGE_VERSION=1.0.99 \
  -D CPACK_PACKAGE_FILE_NAME=Orrery-newer-win64 -D CPACK_NSIS_COMPRESSOR=zlib >"$work/cpack.log" 2>&1 ||
  fail "no newer package"
wine "$work/newer/Orrery-newer-win64.exe" /S
check "installed over, the programs listed show versions '$(versions)'" wait_until 60 eval '[ "$(versions)" = 1.0.99 ]'
check "shortcuts after the upgrade: $(ls "$menu")" test "$(ls "$menu")" = "$(printf 'Orrery.lnk\nUninstall.lnk')"

echo "== The shortcut on a display scaled to 112.5% without 800x600; uninstalled"
output=$(xrandr | awk '/ connected/ {print $1; exit}')
xrandr --delmode "$output" 800x600_orrery
set_scale 108
# The shortcut starts the program in the folder of its pictures.
start_in "$work" wine start /wait 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Orrery\Orrery.lnk'
main_shown || fail "no window from the Start-menu shortcut"
check "the scaled client area is $(client_size), not 900x675" test "$(client_size)" = 900x675
check "no Sun at the scaled window's centre (pictures not found?)" wait_until 20 sun_at 450 337
question='2nd Term OpenGL Project' old=$main
press "$main" F1
# Return is Yes: a new window, windowed.
check "F1 without 800x600 asks nothing" wait_until 20 box_open "$question" && wait_until 20 answered "$question" Return
check "Return to the question opened no new window" \
  wait_until 20 eval 'main=$(main_window) && [ -n "$main" ] && [ "$main" != "$old" ] && ! box_open "$question"'
press "$main" Escape; ended "Escape"
set_scale 96; xrandr --addmode "$output" 800x600_orrery
wine "$folder/Uninstall.exe" /S
# The uninstaller runs a copy of itself and returns at once.
for left in "$folder" "$menu"; do wait_until 60 test ! -e "$left" || fail "$left left behind"; done
[ -z "$(versions)" ] || fail "still listed among the installed programs"

echo "== The zip, unpacked: the Sun; the keys; F1 to full screen, the Sun's box; Ctrl+C"
unzip -q "$work"/Orrery-*-win64.zip -d "$work"
# Started by its full path from another folder, as from Win+R: it finds its pictures.
start_in "$work" wine "$(ls -d "$work"/Orrery-*-win64)/orrery.exe"
main_shown || { fail "no window titled 'OpenGL Team Project'"; exit 1; }
check "the Sun is not at the centre" wait_until 20 sun_at 400 300
# The keys, the wheel and the right-drag, each seen in the paused picture (F2 to F5 undone).
press "$main" space
for key in F2 F3 F4 F5; do acts "$key" press "$main" "$key" && press "$main" "$key"; done
for key in KP_Add KP_Subtract; do acts "$key" press "$main" "$key"; done
# Wine turns X's wheel buttons into Windows's WM_MOUSEWHEEL: 4 away from the user, 5 towards.
for button in 4 5; do acts "wheel button $button" xdotool mousemove --window "$main" 400 300 click $button; done
acts "the right-drag" right_drag
press "$main" space
press "$main" F1
check "F1 does not switch to an 800x600 full screen" wait_until 20 full_screen
click_at 400 300
if check "a click on the full-screen Sun shows no box" wait_until 20 box_open 태양; then
  kill -INT "$program"  # wine runs the program in the process it was started as
  check "Ctrl+C leaves the box open" wait_until 10 eval '! box_open 태양'
  ended "Ctrl+C with a box open in full screen"
  check "Ctrl+C kills the program in full screen, the desktop left at 800x600" \
    wait_until 10 desktop_width_is 1024
fi

exit $((failures > 0))
