# SPDX-License-Identifier: MIT
# Sourced by the Windows end-to-end scripts: a scratch folder, the program they
# started (ended on exit), failures, waits, and the program's window and picture.
work=$(mktemp -d) program='' failures=0
trap '[ -n "$program" ] && kill "$program" 2>/dev/null; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
check() { local what=$1; shift; "$@" || fail "$what"; }
wait_until() { # SECONDS COMMAND...: polls COMMAND every 0.1 s until it succeeds
  local deadline=$((SECONDS + $1)); shift
  until "$@"; do [ $SECONDS -ge $deadline ] && return 1; sleep 0.1; done
}
# Starts COMMAND in FOLDER, as a shortcut starts a program in its own folder.
start_in() { (cd "$1" && shift && exec "$@") >>"$work/out" 2>&1 & program=$!; }
ended() { # WHAT: the program ends within 20 s, with status 0
  wait_until 20 eval '! kill -0 $program 2>/dev/null' || { fail "$1: the program still runs"; return 1; }
  wait "$program"; local status=$?; program=''
  [ $status -eq 0 ] || fail "$1: exit status $status, not 0"
}
# A Wine window's X window, by its exact title: the newest, as the X windows
# of windows closed a moment ago may still be about.
window_named() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | sort -n | tail -1; }
main_window() { window_named 'OpenGL Team Project'; }
has_main_window() { [ -n "$(main_window)" ]; }
main_shown() { wait_until 30 has_main_window && main=$(main_window); }  # and is $main
# A real key press (XTEST) into WINDOW, made the active window first. (A
# synthetic key sent to a window leaves Wine holding the key down, and the
# next box to open takes its release as an answer.)
press() { xdotool windowactivate --sync "$1" key "$2" 2>/dev/null; }
grab() { import -window "$main" "$work/$1.png" 2>/dev/null; }  # the picture of window $main
sun_at_centre() { # X Y, by default 400 300: the Sun there, a bright yellowish white
  grab a && read -r red green blue <<<"$(convert "$work/a.png" -crop "1x1+${1:-400}+${2:-300}" \
    -format "%[fx:int(255*r)] %[fx:int(255*g)] %[fx:int(255*b)]" info: 2>/dev/null)" &&
    [ "${red:-0}" -gt 180 ] && [ "${green:-0}" -gt 160 ] && [ "${blue:-255}" -lt "$red" ]
}
