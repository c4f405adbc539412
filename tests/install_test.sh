#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# install_test.sh BUILD files|programs. files: the installed tree, desktop entry's command, metainfo.
# programs: installed and moved, and the Debian package (lintian: entry, manual, icons), show the Sun.
set -uo pipefail
build=$(cd "$1" && pwd) work=$(mktemp -d) id=org.orrery.Orrery
. "$(dirname "$0")/support/e2e.sh"
run_launcher() { # LAUNCHER: started from /, it shows the Sun, no box and its icon; Escape ends it
  local window; start_in / "$1"
  window=$(timeout 20 xdotool search --sync --limit 1 --name '^OpenGL Team Project$') ||
    { fail "$1: no window"; return 1; }
  check "$1: no Sun" wait_until 20 shows_sun "$window"
  [ "$(xdotool search --onlyvisible --name .)" = "$window" ] || fail "$1: a box is open"
  [[ $(xprop -id "$window" _NET_WM_ICON) == *"Icon (48 x 48)"* ]] || fail "$1: no window icon"
  xdotool windowfocus --sync "$window" keydown Escape sleep 0.3 keyup Escape
  ended "$1: Escape" && echo "ok: $1"
}
need "cmake --install" eval 'cmake --install "$build" --prefix "$work/prefix" >/dev/null'
prefix=$work/prefix && entry=$prefix/share/applications/$id.desktop metainfo=$prefix/share/metainfo/$id.metainfo.xml
if [ "$2" = files ]; then
  diff <(printf '%s\n' bin/orrery libexec/orrery/orrery{,-box} share/applications/$id.desktop \
    share/metainfo/$id.metainfo.xml share/doc/orrery/{copyright,changelog.gz} \
    share/man/man6/orrery.6.gz share/icons/hicolor/{48x48,128x128,256x256}/apps/$id.png \
    share/orrery/CREDITS.md \
    share/orrery/{Sun,Mercury,Venus,earth,Moon,Mars,Jupiter,Saturn,Saturn2,Uranus,Neptune,Pluto,Space}.bmp |
    sort) <(cd "$prefix" && find . -type f -printf '%P\n' | sort) || fail "installed files differ"
  [ "$(grep -cxE "Icon=$id|Exec=orrery" "$entry")" = 2 ] || fail "the entry's icon or command"
  # Software centres start the desktop entry that the metainfo names.
  launchable=$(sed -n 's|.*<launchable type="desktop-id">\(.*\)</launchable>.*|\1|p' "$metainfo")
  [ -f "$prefix/share/applications/${launchable:-none}" ] || fail "the metainfo launches '$launchable'"
  exit $((failures > 0))
fi
# Installed, moved and started through a symbolic link (which the tree in place would also pass).
start_xvfb 1024x768x24
mkdir "$work/elsewhere" && mv "$prefix" "$work/elsewhere/moved" && ln -s "$work/elsewhere/moved/bin/orrery" "$work/link"
run_launcher "$work/link"
# The Debian package (the install's files under /usr): its dependencies, lintian's verdict (its
# override too), and unpacked it runs.
need cpack eval 'cpack --config "$build/CPackConfig.cmake" -G DEB -B "$work/deb" >>"$work/out" 2>&1'
deb=$(echo "$work"/deb/orrery_*.deb)
# libsdl2-2.0-0, which sdl2-compat also provides, whichever it was built against.
for field in "Depends libsdl2-2.0-0 libgl1 libopengl0 libglu1-mesa" "Recommends xfonts-base zenity"; do
  set -- $field && value=$(dpkg-deb -f "$deb" "$1")
  for package in "${@:2}"; do [[ ", $value," == *", $package"[\ ,]* ]] || fail "$1 lacks $package: $value"; done
done
lintian --fail-on error,warning "$deb" >"$work/lintian" 2>&1 || fail "lintian: $(cat "$work/lintian")"
dpkg-deb -x "$deb" "$work/root"
run_launcher "$work/root/usr/bin/orrery"
exit $((failures > 0))
