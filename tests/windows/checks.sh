# SPDX-License-Identifier: MIT
# What the Windows end-to-end scripts share: a scratch folder, the program
# they started (ended on exit), failures counted, waits on conditions, and
# the program's window and picture read off the X display. Sourced.
work=$(mktemp -d)
program=''
trap '[ -n "$program" ] && kill "$program" 2>/dev/null; rm -rf "$work"' EXIT
failures=0
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
check() { local what=$1; shift; "$@" || fail "$what"; }

# Polls COMMAND every 0.1 s until it succeeds, for at most SECONDS.
wait_until() {
  local seconds=$1; shift
  local deadline=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.1
  done
}

# A Wine window's X window, by its exact title: the newest, as the X windows
# of windows closed a moment ago may still be about.
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sort -n | tail -1; }
main_window() { window_named 'OpenGL Team Project'; }
has_main_window() { [ -n "$(main_window)" ]; }
# The picture of window $main, and one pixel of it as "red green blue".
grab() { import -window "$main" "$work/$1.png" 2>/dev/null; }
pixel() { convert "$work/$1.png" -format "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]" \
  -crop "1x1+$2+$3" info: 2>/dev/null; }
# The Sun, a bright yellowish-white disk, at X Y (default: the centre of 800x600).
sun_at_centre() {
  local red green blue
  grab a || return 1
  read -r red green blue <<<"$(pixel a "${1:-400}" "${2:-300}")"
  [ "${red:-0}" -gt 180 ] && [ "${green:-0}" -gt 160 ] && [ "${blue:-255}" -lt "$red" ]
}
