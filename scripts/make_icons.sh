#!/usr/bin/env bash
# Makes the program's icons from its own rendering: runs orrery on a private
# Xvfb, scales the scene up six steps (keypad +), pauses it, takes a
# screenshot and crops a square around the Sun and the inner planets. The
# planets stand wherever the animation happened to be, so every run gives a
# slightly different picture. Writes desktop/icons/{48x48,128x128,256x256}.png
# and the web page's {192x192,512x512}.png (the 512 px one scaled up from the
# 340 px square), desktop/icons/48x48.rgba (raw RGBA bytes that the build
# embeds as the window icon), and desktop/windows/orrery.ico (the Windows
# program's icon, 16 to 256 px), or the same into the folder given as $1.
# Needs xvfb, xdotool and imagemagick.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
out="${1:-$top/desktop/icons}"  # another folder for a trial run
build="$top/build-package"
"$top/scripts/deps.sh" test
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=Release -DORRERY_TESTS=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target orrery orrery_textures >/dev/null

work=$(mktemp -d)
server='' program=''
trap 'kill $program $server 2>/dev/null || true; rm -rf "$work"' EXIT
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
server=$!
for _ in $(seq 50); do if [ -s "$work/display" ]; then break; fi; sleep 0.1; done
DISPLAY=":$(cat "$work/display")" && export DISPLAY
(cd "$build/run" && exec ../orrery) &
program=$!
window=$(timeout 20 xdotool search --sync --limit 1 --name '^OpenGL Team Project$')
xdotool windowfocus --sync "$window"
press() { xdotool keydown "$1" && sleep 0.15 && xdotool keyup "$1" && sleep 0.1; }
for _ in 1 2 3 4 5 6; do press KP_Add; done
sleep 1
press space
sleep 0.5
# The Sun stands at (400, 300) of the 800 x 600 window, with a radius of
# about 55 pixels at this scale; the square reaches out to Mars's orbit.
import -window "$window" -crop 340x340+230+130 +repage "$work/square.png"
press Escape
wait "$program"
program=''
convert -size 340x340 xc:none -fill white -draw 'roundrectangle 0,0 339,339 48,48' "$work/mask.png"
convert "$work/square.png" -alpha set "$work/mask.png" -compose DstIn -composite \
  "$work/rounded.png"
for size in 48 128 192 256 512; do
  convert "$work/rounded.png" -filter Lanczos -resize "${size}x${size}" -strip \
    "PNG32:$out/${size}x${size}.png"
done
convert "$out/48x48.png" -depth 8 "rgba:$out/48x48.rgba"
ico="$out/orrery.ico"
[ -z "${1:-}" ] && ico="$top/desktop/windows/orrery.ico"
convert "$out/256x256.png" -define icon:auto-resize=256,48,32,16 "$ico"
ls -l "$out"
