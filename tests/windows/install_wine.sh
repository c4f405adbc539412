#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The Windows packages under Wine: makes the installer and the zip from the
# build folder, installs silently, starts the Start-menu shortcut and the
# unzipped program, and uninstalls. Runs inside tests/windows/wine_session.sh.
#   install_wine.sh BUILD_DIR
set -uo pipefail
build=$(realpath "$1")
source "$(dirname "$0")/checks.sh"

shows_the_sun_and_ends() { # WHAT: its window shows the Sun, and Escape ends it
  main_shown || { fail "$1: no window"; return; }
  wait_until 20 sun_at_centre || fail "$1: no Sun at the centre (the pictures not found?)"
  press "$main" Escape
  ended "$1, Escape"
}
cpack --config "$build/CPackConfig.cmake" -B "$work" >"$work/cpack.log" 2>&1 ||
  { cat "$work/cpack.log"; exit 1; }

echo "== Installed silently, started from the Start menu, uninstalled"
folder="$WINEPREFIX/drive_c/Program Files/Orrery"
menu='ProgramData\Microsoft\Windows\Start Menu\Programs\Orrery'
listed() { wine reg query 'HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Orrery' >/dev/null 2>&1; }
wine "$work"/Orrery-*-win64.exe /S
wait_until 60 test -f "$folder/Uninstall.exe" || fail "no uninstaller in Program Files\\Orrery"
for name in orrery.exe LICENSE CREDITS.md \
  {Sun,Mercury,Venus,earth,Moon,Mars,Jupiter,Saturn,Saturn2,Uranus,Neptune,Pluto,Space}.bmp; do
  [ -f "$folder/$name" ] || fail "$name not installed"
done
listed || fail "not listed among the installed programs"
# The shortcut starts the program in the folder of its pictures.
start_in "$work" wine start /wait "C:\\$menu\\Orrery.lnk"
shows_the_sun_and_ends "the installed shortcut"
wine "$folder/Uninstall.exe" /S
# The uninstaller runs a copy of itself and returns at once.
wait_until 60 test ! -e "$folder" || fail "Program Files\\Orrery left behind: $(ls "$folder" 2>&1)"
wait_until 30 test ! -e "$WINEPREFIX/drive_c/${menu//\\//}" || fail "the Start-menu folder left behind"
listed && fail "still listed among the installed programs"

echo "== The zip, unpacked: the program runs beside its pictures"
unzip -q "$work"/Orrery-*-win64.zip -d "$work"
# As a double click in Explorer does: the program's own folder is the working folder.
start_in "$(ls -d "$work"/Orrery-*-win64)" wine orrery.exe
shows_the_sun_and_ends "the unzipped program"

[ $failures -eq 0 ] && echo "all package checks passed"
exit $((failures > 0))
