#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# The program end to end: on Xvfb under openbox, and under weston (SDL's Wayland driver) after a
# start with no display.   e2e_desktop.sh x11|wayland PROGRAM PICTURES_FOLDER
set -uo pipefail
desktop=$1 binary=$(realpath "$2") pictures=$(realpath "$3") work=$(mktemp -d)
. "$(dirname "$0")/support/e2e.sh"
export LC_ALL=C.UTF-8  # the tools' texts; the program runs under LC_ALL=C, whose boxes have Korean
title='OpenGL Team Project' question='2nd Term OpenGL Project'
mkdir "$work/run"
hex() { printf '0x%x' "$1"; }
stacking() { xprop -root _NET_CLIENT_LIST_STACKING | grep -o '0x[0-9a-f]*'; }
active_is() { [ "$(xprop -root _NET_ACTIVE_WINDOW | grep -o '0x[0-9a-f]*')" = "$(hex "$1")" ]; }
main_shown() { main=$(xdotool search --onlyvisible --name "^$title\$" | sort -n | tail -1) && [ -n "$main" ]; }
box() { # the top window besides the main one, as $box captioned $name; fails if there is none
  local w; box=''
  for w in $(stacking | tac); do
    name=$(xdotool getwindowname "$w" 2>/dev/null) && [ "$name" != "$title" ] && box=$w && return
  done
  return 1
}
caption_is() { box && [ "$name" = "$1" ]; }
owned() { # the box is transient for the main window and above it
  [ "$(xprop -id "$box" WM_TRANSIENT_FOR | grep -o '0x[0-9a-f]*')" = "$(hex "$main")" ] &&
    stacking | sed -n "/^$(hex "$main")\$/,\$p" | grep -qx "$box"
}
# KEY [WINDOW]: held 0.3 s (keys are read in idle passes; boxes act on the release).
press() { xdotool ${2:+windowfocus "$2"} keydown "$1" sleep 0.3 keyup "$1"; }
ask() { # F1, held until its question is up
  xdotool keydown F1 && wait_until 20 caption_is "$question"; local up=$?
  xdotool keyup F1 && return $up
}
# Return to the top box, then waits for its program to end, its frame to go (the next box may reuse
# the window id, not the frame) and the keyboard to come to another window.
close_box() {
  box || return 1
  local open=$box frame shown_by; shown_by=$(pgrep -d, -P "$program")
  frame=$(xwininfo -tree -id "$box" | awk '/Parent window id/ {print $4}')
  wait_until 20 active_is "$open" && press Return || press Return "$open"
  wait_until 20 eval '! ps -p "$shown_by" >/dev/null && ! xwininfo -id "$frame" >/dev/null 2>&1 &&
    stacking | grep -qx "$(xprop -root _NET_ACTIVE_WINDOW | grep -o "0x[0-9a-f]*")"'
}
size() { xwininfo -id "$main" | awk '/Absolute upper-left Y/ {y = $4} /Width/ {w = $2} /Height/ {print w "x" $2, y}'; }
at() { xdotool mousemove --window "$main" "$@"; }  # X Y [then...], in client coordinates
digest() { import -window "$1" rgb:- 2>/dev/null | md5sum; }
differs() { [ "$(digest "$1")" != "$2" ]; }
changes_within() { wait_until "$2" differs "$1" "$(digest "$1")"; }  # WINDOW SECONDS
# X Y HALF N: more than N pale yellow (Sun) pixels in the square of side 2 * HALF + 1 round X Y.
more_yellow() { [ "$(count "$main" "$(($3 * 2 + 1))x$(($3 * 2 + 1))+$(($1 - $3))+$(($2 - $3))" 'g > 120 && b < r - 40')" -gt "$4" ]; }
not_responding() { xprop -id "$main" _NET_WM_VISIBLE_NAME | grep -q 'Not Responding'; }
# SCREEN: a private Xvfb under openbox, waited for (a fresh system builds its font cache first).
openbox_on() {
  start_xvfb "$1"
  openbox --sm-disable --startup "touch $work/openbox-$1" &
  need "openbox did not start" wait_until 60 test -e "$work/openbox-$1"
}
x11() {
  openbox_on 1280x1024x24
  xset r off  # keys are held a while
  # Without its pictures: thirteen boxes, owned by the window.
  start_in "$work/run" env LC_ALL=C "$binary"
  need "no main window" wait_until 20 main_shown
  for shown in $(seq 13); do
    need "box $shown is not an Error box: '$(box && xdotool getwindowname "$box")'" wait_until 20 caption_is Error
    check "box $shown is not owned by the window" owned
    need "box $shown stays" close_box
  done
  # With them, F1 asks (no 800x600 mode); Yes opens a new window, 800x600 under a title bar (SDL 3
  # moves a window after mapping it).
  cp "$pictures"/* "$work/run"
  need "F1 asks nothing" ask && close_box
  local old=$main
  need "no new window" wait_until 20 eval 'main_shown && [ "$main" != "$old" ]'
  xdotool windowactivate "$main"
  need "the new window has no keyboard" wait_until 20 active_is "$main"
  need "no Sun" wait_until 20 shows_sun "$main"
  check "the client area is not 800x600 under a title bar: $(size)" wait_until 5 eval '[[ $(size) == "800x600 "[1-9]* ]]'
  xdotool windowmove "$main" 100 60  # with room for a box and a drag
  press F5 "$main"  # GLU's spheres, dark if lit from inside
  check "no Sun on GLU's spheres" wait_until 20 shows_sun "$main"
  press F5 "$main"
  at 400 300 click 1
  need "a click on the Sun shows no box" wait_until 20 caption_is 태양
  check "the Sun's box is not owned by the window" owned
  check "the box has no keyboard" wait_until 5 active_is "$box"
  # Moved off, the box leaves the picture whole: most of the Sun's 1,226 pixels yellow.
  xdotool windowmove "$box" 920 720
  check "the box left its image behind" wait_until 20 more_yellow 400 300 20 900
  check "drawn while the box was open" eval '! changes_within "$main" 1'
  local text; text=$(pixels "$box" | awk 'NR == 1 {bg = $1 + $2 + $3} $1 + $2 + $3 > bg + 288 {n++} END {print n + 0}')
  check "the box looks blank: $text text pixels" test "$text" -ge 600
  # Pings are answered (openbox says "Not Responding" 6 s after one is not).
  check "no answer to a ping" eval '! wait_until 9 not_responding'
  need "the box stays" close_box
  # Paused, drawn only after a resize: the Sun in the new centre, radius 26.34 (2,179 pixels); back
  # at 800x600, the paused picture unless a drag turned it. A drag past the left edge goes on when
  # the pointer comes back: 200 degrees and back.
  press space
  check "the space bar did not pause" eval '! changes_within "$main" 1'
  local paused; paused=$(digest "$main")
  at 200 560 mousedown 3 mousemove_relative -- -160 0 mousemove_relative -- -100 0 \
    sleep 0.3 mouseup 3 mousemove --window "$main" 200 560 sleep 0.3 click 3
  xdotool windowsize "$main" 1000 800
  check "the paused picture was not drawn anew" wait_until 20 more_yellow 500 400 27 1600
  xdotool windowsize "$main" 800 600
  check "the drag left the view turned" wait_until 20 eval '! differs "$main" "$paused"'
  # SIGTERM during F1's question answers No and ends with 0; No's box goes to standard error.
  need "F1 asks nothing the second time" ask && kill -TERM "$program"
  ended "SIGTERM during F1's question"
  check "windows left: $(stacking)" wait_until 20 eval '[ -z "$(stacking)" ]'
  check "no closing text" grep -qx 'ERROR: Program Will Now Close.' "$work/out"
  # On an 800x600 screen F1 goes full screen and stays so through a box (under SDL 3 the box's
  # program must keep the window it wrapped as owner).
  openbox_on 800x600x24
  start_in "$work/run" "$binary"
  need "no window on the 800x600 screen" wait_until 20 main_shown
  press F1 "$main"
  need "no full screen: $(size)" wait_until 20 eval 'main_shown && [ "$(size)" = "800x600 0" ]'
  at 400 300 click 1
  need "a click in full screen shows no box" wait_until 20 caption_is 태양
  need "the box stays" close_box
  check "full screen dropped after the box: $(size)" eval '! wait_until 3 eval "[ \"\$(size)\" != \"800x600 0\" ]"'
  press Escape "$main"
  ended "Escape in full screen"
}
# Weston's X11 back end in Xvfb: its output window gets the screenshots and the input.
wayland() {
  run=" $(eval "$(sed -n '/^run_packages=(/,/)$/p' "$(dirname "$0")/../scripts/deps.sh")"; echo "${run_packages[*]}") "
  korean=$(fc-list :lang=ko file | sed 's/: *$//' | xargs -r dpkg -S 2>/dev/null | cut -d: -f1 | grep -xFf <(tr ' ' '\n' <<<"$run"))
  check "the run packages lack zenity or a Korean font:$run" eval '[[ -n $korean && $run == *" zenity "* ]]'
  local out; out=$(cd "$pictures" && env -u DISPLAY -u WAYLAND_DISPLAY -u SDL_VIDEODRIVER timeout 60 "$binary" 2>&1; echo "status $?")
  [[ $out == *$'ERROR: Window Creation Error.\nstatus 0' ]] || fail "with no display: $out"
  start_xvfb 1024x768x24
  cp "$pictures"/* "$work/run"
  export XDG_RUNTIME_DIR=$work/runtime WAYLAND_DISPLAY=orrery-e2e-$$
  mkdir -m 700 "$XDG_RUNTIME_DIR"  # private, as a runtime folder is
  weston --backend=x11-backend.so --width=1000 --height=700 --socket="$WAYLAND_DISPLAY" >/dev/null 2>&1 &
  output=$(timeout 60 xdotool search --sync --onlyvisible --class '^Weston Compositor$')
  # Weston is up (its background drawn) before the window comes, or the window can lose the keyboard.
  need "weston draws nothing" wait_until 60 eval '[ "$(count "$output" 1x1+500+350 "r + g > 150")" = 1 ]'
  xdotool windowfocus "$output"
  start_in "$work/run" env LC_ALL=C SDL_VIDEODRIVER=wayland "$binary"
  need "no Sun under weston" wait_until 20 look
  check "F1 does not cover the output" tap_until F1 eval 'look && [ $corners = 4 ]'
  need "F1 under weston ended the program" running
  # The box is zenity under the box program, the caption on its command line. A click before weston
  # has seen the pointer goes nowhere: clicked again until a box shows.
  for _ in $(seq 10); do
    pgrep -P "$program" >/dev/null && break
    xdotool mousemove 1010 710 mousemove --window "$output" "$sun_x" "$sun_y" click 1
    wait_until 2 pgrep -P "$program" >/dev/null
  done
  check "a click on the Sun shows no box: $(pgrep -a -P "$program")" wait_until 20 eval \
    'grep -qa 태양 /proc/$(pgrep -P "$(pgrep -d, -P "$program")" zenity)/cmdline'
  check "zenity refused the box" eval '! wait_until 2 eval "! pgrep -P $program >/dev/null"'
  check "Return does not close the box" tap_until Return eval '! pgrep -P "$program" >/dev/null'
  check "no longer full screen after the box" wait_until 20 eval 'look && [ $corners = 4 ]'
  check "F1 does not leave full screen" tap_until F1 eval 'look && [ $corners -lt 4 ]'
  check "Escape does not end the program" tap_until Escape eval '! running'
  ended "Escape under weston"
}
# sun_x, sun_y: the mean of the pale yellow cells of a tenth-size screenshot (no planet is that
# big); corners: how many of the output's corners are black.
look() {
  read -r sun_x sun_y corners < <(import -window "$output" png:- |
    convert - -scale 10% -depth 8 rgb:- 2>/dev/null | od -An -v -tu1 -w3 |
    awk '{x = (NR - 1) % 100; y = int((NR - 1) / 100)}
      $1 > 200 && $2 > 200 && $3 < $1 - 40 {sx += x; sy += y; n++}
      (x == 0 || x == 99) && (y == 0 || y == 69) && $1 + $2 + $3 < 60 {c++}
      END {if (n >= 4) print int(10 * sx / n + 5), int(10 * sy / n + 5), c + 0}')
  [ -n "${sun_x:-}" ]
}
# KEY CONDITION...: tapped every 2 s until it acts (weston drops keys held before the focus comes).
tap_until() {
  local key=$1; shift
  for _ in $(seq 10); do
    xdotool windowfocus "$output" keydown "$key" sleep 0.05 keyup "$key"; wait_until 2 "$@" && return
  done
  return 1
}
"$desktop"
exit $((failures > 0))
