#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows packages under Wine: makes the installer and the zip from the
# build folder, installs silently, starts the installed Start-menu shortcut
# and the unzipped program, and uninstalls. Runs inside
# tests/windows/wine_session.sh; every wait is for a condition.
#   install_wine.sh BUILD_DIR
set -uo pipefail
build=$(realpath "$1")
source "$(dirname "$0")/checks.sh"

gone() { ! kill -0 "$program" 2>/dev/null; }
# Shows the Sun, then Escape ends the program with 0.
shows_the_sun_and_ends() { # WHAT
  wait_until 30 has_main_window || { fail "$1: no window"; return; }
  main=$(main_window)
  wait_until 20 sun_at_centre || fail "$1: no Sun at the centre (the pictures not found?)"
  xdotool windowactivate --sync "$main" key Escape 2>/dev/null
  wait_until 20 gone || fail "$1: still running after Escape"
  wait "$program"; local status=$?
  program=''
  [ "$status" -eq 0 ] || fail "$1: exit status $status"
}

(cd "$work" && cpack --config "$build/CPackConfig.cmake" >cpack.log 2>&1) ||
  { cat "$work/cpack.log"; exit 1; }
installer=$(ls "$work"/Orrery-*-win64.exe) zip=$(ls "$work"/Orrery-*-win64.zip)

echo "== The installer, silently"
drive_c="$WINEPREFIX/drive_c"
folder="$drive_c/Program Files/Orrery"
menu="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Orrery"
wine "$installer" /S
wait_until 60 test -f "$folder/Uninstall.exe" || fail "no uninstaller in Program Files\\Orrery"
for name in orrery.exe Sun.bmp Mercury.bmp Venus.bmp earth.bmp Moon.bmp Mars.bmp Jupiter.bmp \
  Saturn.bmp Saturn2.bmp Uranus.bmp Neptune.bmp Pluto.bmp Space.bmp LICENSE CREDITS.md; do
  [ -f "$folder/$name" ] || fail "$name not installed"
done
[ -f "$menu/Orrery.lnk" ] || fail "no Start-menu shortcut"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orrery' >/dev/null 2>&1 ||
  fail "not listed among the installed programs"

echo "== The Start-menu shortcut starts the program in the folder of its pictures"
(cd "$work" && exec wine start /wait 'C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Orrery\Orrery.lnk') \
  >/dev/null 2>&1 &
program=$!
shows_the_sun_and_ends "the installed shortcut"

echo "== The uninstaller removes everything"
wine "$folder/Uninstall.exe" /S
# The uninstaller runs a copy of itself and returns at once.
wait_until 60 bash -c "[ ! -e '$folder' ]" || fail "Program Files\\Orrery left behind: $(ls "$folder" 2>&1)"
wait_until 30 bash -c "[ ! -e '$menu' ]" || fail "the Start-menu folder left behind: $(ls "$menu" 2>&1)"
wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orrery' >/dev/null 2>&1 &&
  fail "still listed among the installed programs"

echo "== The zip: unpacked, the program runs beside its pictures"
(cd "$work" && unzip -q "$zip")
unpacked=$(ls -d "$work"/Orrery-*-win64)
[ -f "$unpacked/orrery.exe" ] && [ -f "$unpacked/Sun.bmp" ] || fail "the zip's folder lacks the program or its pictures"
# As a double click in Explorer does: the program's own folder is the working folder.
(cd "$unpacked" && exec wine orrery.exe) >/dev/null 2>&1 &
program=$!
shows_the_sun_and_ends "the unzipped program"

[ $failures -eq 0 ] && echo "all package checks passed"
exit $((failures > 0))
