#!/usr/bin/env bash
# Several functions below are called only through poll and the exit trap.
# shellcheck disable=SC2317
# Soak check: runs the real program under Xvfb with openbox for a bounded time
# while driving it in a loop as a user would (F1 there and back, a click on the
# Sun and Return, F5 and F2 to F4 there and back, a resize and back, Space
# twice), and samples its resources at the start and once a minute: resident
# memory, open file descriptors, threads, child processes and the X resources
# of its clients (windows, pixmaps, GCs, other). GL objects are not counted:
# they live in the driver inside the process and nothing outside can read
# them; they end with their context, which F1 re-creates.
#
#   scripts/soak.sh [MINUTES]    default 10 (or $SOAK_MINUTES); at least 3
#
# Prints a table and fails (status 1) if, after the first two minutes, any
# figure rises above the one sampled at minute 2 by more than its allowance:
#   resident memory 4096 kB (the allocator's and Mesa's caches settle late),
#   plus what the release is known to keep at each F1 after a click (below);
#   file descriptors, threads, child processes and X resources: 0.
# Then it does one kind of action at a time, $SOAK_ACTIONS times each
# (default 20): a click on the Sun and Return in each sphere mode, F1, F1 with
# a click before it in each sphere mode, F5. It prints the resident memory
# each kept and fails when one kept more than the release's allowance for it
# and 4096 kB over its run.
# It also fails when the program stops answering: it dies, F1 brings no new
# window or a click no box within 30 s, or its picture does not change
# within 10 s at a sample. Samples are taken between rounds, with no box open
# and every switch as at the start.
#
# Known growth, by release. SDL's X11 driver never frees the colormaps it
# makes for each window and at each load of the GL library; the layer frees
# the window's and keeps the library loaded (platform/sdl/x11_colormap.cpp,
# platform/sdl/video.cpp), so "x_other" stays flat everywhere. Resident memory:
# see the allowance below.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
minutes=${1:-${SOAK_MINUTES:-10}}
[[ "$minutes" =~ ^[0-9]+$ && "$minutes" -ge 3 ]] || { echo "usage: $0 [MINUTES >= 3]" >&2; exit 2; }
actions=${SOAK_ACTIONS:-20}
[[ "$actions" =~ ^[0-9]+$ && "$actions" -ge 2 && $((actions % 2)) -eq 0 ]] ||
  { echo "SOAK_ACTIONS must be an even number, at least 2" >&2; exit 2; }
rss_allowance_kb=4096

# The allowance per release: resident memory, in kB, that one F1 keeps of a
# window in which a click was made, by the sphere mode the click was made in
# (1, 2). A click draws the scene in selection mode from display lists that it
# records in the window's context. Mesa 22.3 (Debian 12) takes a reference to
# every vertex buffer drawn in selection mode and never drops it, so the
# lists' buffer outlives its context: measured 0.97 to 1.08 MB in mode 1
# (Mesa's smallest list buffer, which the disks and the ring alone fill) and
# 6.1 to 6.2 MB in mode 2 (the eleven quadric spheres); the sum of the two
# when both modes were clicked in. Clicks themselves keep nothing: the lists'
# buffer is the same at every one. (Drawn without lists, a click kept 1.2 MB
# in mode 1 and 7.6 MB in mode 2, and the F1 after it about 0.7 MB more.)
# Mesa 25 (Debian 13) drops the reference after the draw: nothing is kept.
# shellcheck source=/dev/null
release=$(. /etc/os-release && echo "${VERSION_ID:-unknown}")
case $release in
  12) kept_at_f1_after_click_kb=(1100 6500) ;;
  *) kept_at_f1_after_click_kb=(0 0) ;;
esac

"$top/scripts/deps.sh" soak
build=$top/build-soak
cmake -S "$top" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORRERY_TESTS=OFF >/dev/null
cmake --build "$build" -j2 >/dev/null

work=$(mktemp -d)
xvfb_pid='' wm_pid='' pid=''
# Ends what this script started, by process id: the program first (a kill
# after 5 s when it does not end on TERM), then openbox, then Xvfb.
stop() {
  kill "$1" 2>/dev/null || return 0
  for _ in $(seq 50); do kill -0 "$1" 2>/dev/null || break; sleep 0.1; done
  kill -9 "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
}
cleanup() {
  for p in $pid $wm_pid $xvfb_pid; do stop "$p"; done
  rm -rf "$work"
}
trap cleanup EXIT

# A display of exactly 800x600 at 16 bits, so that F1 really goes full screen
# (on any other screen it asks first whether to stay windowed).
Xvfb -displayfd 5 -screen 0 800x600x16 -nolisten tcp 5>"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
until [ -s "$work/display" ]; do
  kill -0 "$xvfb_pid" 2>/dev/null || { echo "Xvfb did not start" >&2; exit 1; }
  sleep 0.1
done
DISPLAY=":$(cat "$work/display")"
export DISPLAY
openbox --sm-disable >"$work/openbox.log" 2>&1 &
wm_pid=$!
until wmctrl -m >/dev/null 2>&1; do sleep 0.1; done
(cd "$build/run" && exec ../orrery) >"$work/program.log" 2>&1 &
pid=$!

fail() {
  echo "FAIL: $*" >&2
  tail -n 20 "$work/program.log" >&2
  exit 1
}
alive() { kill -0 "$pid" 2>/dev/null || fail "the program has ended"; }
# Polls `condition` every 0.1 s for up to `seconds`.
poll() {
  local seconds=$1 i
  shift
  for ((i = 0; i < seconds * 10; ++i)); do
    "$@" && return 0
    alive
    sleep 0.1
  done
  return 1
}
main_window() { xdotool search --onlyvisible --name '^OpenGL Team Project$' 2>/dev/null | head -n 1; }
# The main window, once it is another than $1 (F1 destroys and re-creates it).
new_window() {
  local id
  id=$(main_window)
  [ -n "$id" ] && [ "$id" != "$1" ] && win=$id
}
boxes() { wmctrl -l | grep -v ' OpenGL Team Project$' || true; }
box_open() { [ -n "$(boxes)" ]; }
no_box() { [ -z "$(boxes)" ]; }
picture() { import -window "$win" rgb:- 2>/dev/null | md5sum; }
picture_changed() { [ "$(picture)" != "$1" ]; }

# The pace of a user between two inputs; the window draws frames meanwhile.
pause() { sleep 0.4; }
keys() {
  for key in "$@"; do
    xdotool key "$key"
    pause
  done
}

# F1: the window is destroyed and made anew, windowed or full screen.
switch_window() {
  local old=$win
  xdotool key F1
  poll 30 new_window "$old" || fail "F1 brought no new window"
  timeout 10 xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
  pause
}
# A click on the Sun, and Return closes its box.
click_sun() {
  xdotool mousemove --window "$win" 400 300 click 1
  poll 30 box_open || fail "a click on the Sun showed no box"
  pause
  xdotool key Return
  poll 30 no_box || fail "Return did not close the box"
  timeout 10 xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
}

# One round of use. Ends as it began: windowed, 800x600, every switch as at
# the start, animating, no box open.
round() {
  switch_window
  switch_window
  click_sun
  keys F5 F2 F3 F4
  xdotool windowsize "$win" 640 480
  pause
  xdotool windowsize "$win" 800 600
  pause
  keys F5 F2 F3 F4 space space
}

# Resources of the program's X clients, summed: windows, pixmaps, GCs, other.
# xrestop learns a client's process from its windows' _NET_WM_PID, so the
# program's second connection, which has no window, shows no process: on this
# private display every client but openbox, the server's own (resource base 0)
# and xrestop itself is the program's while no box is open.
x_resources() {
  xrestop -b -m 1 | awk -v pid="$pid" '
    /^[0-9]+ - / {
      keep = index($0, "PID:" pid " ") || index($0, "PID: " pid " ") ||
             ($0 ~ /^[0-9]+ - <unknown> \( PID: *\? *\):/)
      next
    }
    /res_base/ && $3 == "0" { keep = 0 }
    keep && $1 == "windows" { w += $3 }
    keep && $1 == "pixmaps" { p += $3 }
    keep && $1 == "GCs" { g += $3 }
    keep && $1 == "unknowns" { u += $3 }
    END { print w + 0, p + 0, g + 0, u + 0 }'
}
openbox_windows() {
  xrestop -b -m 1 | awk '/^[0-9]+ - / { keep = /Openbox/ } keep && $1 == "windows" { print $3 }'
}

columns=(minute rss_kB fds threads children x_windows x_pixmaps x_GCs x_other)
samples=() rounds_at=()
rss_now() { awk '/^VmRSS:/ {print $2}' "/proc/$pid/status"; }
sample() {
  local minute=$1 before rss threads fds children
  before=$(picture)
  poll 10 picture_changed "$before" || fail "the picture did not change for 10 s"
  rss=$(rss_now)
  threads=$(awk '/^Threads:/ {print $2}' "/proc/$pid/status")
  fds=$(find "/proc/$pid/fd" -mindepth 1 -maxdepth 1 | wc -l)
  children=$(cat "/proc/$pid"/task/*/children | wc -w)
  samples+=("$minute $rss $fds $threads $children $(x_resources)")
  printf '%s (openbox windows: %s)\n' "${samples[-1]}" "$(openbox_windows)" >&2
}

poll 60 new_window '' || fail "no main window within 60 s"
timeout 10 xdotool windowactivate --sync "$win" >/dev/null 2>&1 || true
sleep 1
start=$SECONDS rounds=0
sample 0
rounds_at+=(0)
for ((minute = 1; minute <= minutes; ++minute)); do
  while ((SECONDS - start < minute * 60)); do
    round
    rounds=$((rounds + 1))
  done
  sample "$minute"
  rounds_at+=("$rounds")
done

# One kind of action at a time, after a first one that makes what it needs
# once (the lists of a sphere mode). Each run starts and ends windowed in
# sphere mode 1 with no box open; kept = resident memory after the run less
# before it, once the frames after it have drawn for a second.
action_rows=()
per_action() { # NAME ALLOWANCE_KB_EACH SETUP ACTION TEARDOWN
  local name=$1 allowance=$2 setup=$3 action=$4 teardown=$5 before after i
  $setup
  $action
  sleep 1
  before=$(rss_now)
  for ((i = 0; i < actions; ++i)); do $action; done
  sleep 1
  after=$(rss_now)
  $teardown
  action_rows+=("$name|$((after - before))|$allowance")
}
nothing() { :; }
mode_switch() { keys F5; }
click_then_switch() { click_sun && switch_window; }
# The first action and an even number more leave F1 and F5 switched once.
back_in_mode_1() { switch_window && mode_switch; }
per_action "click, sphere mode 1" 0 nothing click_sun nothing
per_action "click, sphere mode 2" 0 mode_switch click_sun mode_switch
per_action "F1, no click" 0 nothing switch_window switch_window
per_action "F1 after a click, mode 1" "${kept_at_f1_after_click_kb[0]}" nothing \
  click_then_switch switch_window
per_action "F1 after a click, mode 2" "${kept_at_f1_after_click_kb[1]}" mode_switch \
  click_then_switch back_in_mode_1
per_action "F5, no click" 0 nothing mode_switch mode_switch

echo "Soak: $minutes minutes, $rounds rounds, program $pid on $DISPLAY"
printf '%10s' "${columns[@]}"
echo
for row in "${samples[@]}"; do
  # shellcheck disable=SC2086  # the row's fields, one column each
  printf '%10s' $row
  echo
done

# Growth after the first two minutes: each later sample against the one at
# minute 2 (row 2). A round clicks in sphere mode 1 and its next F1 ends that
# window, so resident memory is allowed what the release keeps at such an F1
# once for each round since minute 2.
read -r -a base <<<"${samples[2]}"
status=0
for ((c = 1; c < ${#columns[@]}; ++c)); do
  for ((m = 3; m < ${#samples[@]}; ++m)); do
    read -r -a now <<<"${samples[m]}"
    allowance=0
    [ "$c" -eq 1 ] && allowance=$((rss_allowance_kb +
      (rounds_at[m] - rounds_at[2]) * kept_at_f1_after_click_kb[0]))
    if ((now[c] - base[c] > allowance)); then
      echo "GROWS: ${columns[c]} from ${base[c]} at minute 2 to ${now[c]} at minute $m" \
        "(allowance $allowance)"
      status=1
      break
    fi
  done
done
[ "$status" -eq 0 ] && echo "Nothing grows beyond its allowance after minute 2" \
  "(Debian $release: ${kept_at_f1_after_click_kb[0]} kB a round)."

# Each kind of action: what it kept, and its allowance over the run.
echo "Per action, $actions of each, on Debian $release:"
printf '%-28s %10s %10s %10s\n' action kept_kB kB_each allowed_kB
for row in "${action_rows[@]}"; do
  IFS='|' read -r name kept each <<<"$row"
  allowed=$((actions * each + rss_allowance_kb))
  printf '%-28s %10s %10s %10s\n' "$name" "$kept" "$((kept / actions))" "$allowed"
  if ((kept > allowed)); then
    echo "GROWS: $name kept $kept kB over $actions (allowance $allowed)"
    status=1
  fi
done

# Escape ends it, with status 0.
xdotool key Escape
for _ in $(seq 300); do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
if kill -0 "$pid" 2>/dev/null; then
  echo "FAIL: Escape did not end the program" && status=1
else
  rc=0
  wait "$pid" || rc=$?
  pid=''
  echo "Escape ended it with status $rc"
  [ "$rc" -eq 0 ] || status=1
fi
exit "$status"
