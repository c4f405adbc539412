# SPDX-License-Identifier: MIT
# What the end-to-end scripts share, sourced once $work (a private folder) is
# set: failures counted, waits with deadlines, a private X server, the program
# started with its output in $work/out, and its end. Every wait has a deadline;
# on leaving, everything started here is ended and the folder removed.
failures=0 program=''
trap '[ $failures = 0 ] || cat "$work/out" >&2; kill $(jobs -p) 2>/dev/null; wait; rm -rf "$work"' EXIT
fail() { echo "FAILED: $*" >&2; failures=$((failures + 1)); }
check() { local what=$1; shift; "$@" || { fail "$what"; return 1; }; }
need() { check "$@" || exit 1; }  # when nothing after it could pass
wait_until() { # SECONDS COMMAND...: polls COMMAND every 0.1 s until it succeeds
  local deadline=$((${EPOCHREALTIME/[.,]/} + $1 * 1000000)); shift
  until "$@"; do [ "${EPOCHREALTIME/[.,]/}" -ge $deadline ] && return 1; sleep 0.1; done
}
# Starts COMMAND in FOLDER, as a launcher starts a program in its own folder.
start_in() { (cd "$1" && shift && exec "$@") >>"$work/out" 2>&1 & program=$!; }
running() { kill -0 "$program" 2>/dev/null; }
ended() { # WHAT: the program ends within 20 s, with status 0
  wait_until 20 eval '! running' || { fail "$1: the program still runs"; return 1; }
  wait "$program"; local status=$?; program=''
  [ $status -eq 0 ] || fail "$1: exit status $status, not 0"
}
# SCREEN (e.g. 1024x768x24): a private Xvfb as DISPLAY. A server gives up when another that it
# cannot see (in another container) holds the display number it picked; the next one picks another.
start_xvfb() {
  for _ in 1 2 3 4 5; do
    : >"$work/display"  # emptied first: the server writes its number there once it is ready
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
    wait_until 10 eval '[ -s "$work/display" ] || ! kill -0 $! 2>/dev/null'
    [ -s "$work/display" ] && export DISPLAY=":$(cat "$work/display")" && return
  done
  fail "Xvfb did not start" && exit 1
}
# WINDOW [GEOMETRY]: its pixels (those of GEOMETRY, e.g. 9x9+396+296) as "red green blue" lines from
# 0 to 255, the top row first. (Raw bytes: the text form of ImageMagick 7 may write fractions.)
pixels() { import -window "$1" ${2:+-crop "$2"} -depth 8 rgb:- 2>/dev/null | od -An -v -tu1 -w3; }
# WINDOW GEOMETRY CONDITION: how many of those pixels meet CONDITION on r, g, b.
count() { pixels "$1" "$2" | awk "{r = \$1; g = \$2; b = \$3} $3 {n++} END {print n + 0}"; }
# WINDOW: the lit, textured Sun at the centre of its 800x600 picture. The middle 9x9 pixels have
# Sun.bmp's mean colour, 255 255 165. The disc has the radius that a 45-degree view 600 pixels high
# gives 0.6 units at 22: 300 * (0.6 / 22) / tan(22.5 degrees) = 19.75 pixels, so the lit run through
# the centre, across and down, is 37 to 43 pixels long.
shows_sun() {
  pixels "$1" 9x9+396+296 | awk '{r += $1 / 81; g += $2 / 81; b += $3 / 81}
    END {exit !(r >= 243 && g >= 243 && b >= 153 && b <= 177)}' || return 1
  local strip
  for strip in 61x1+370+300 1x61+400+270; do
    pixels "$1" $strip | awk '{lit[NR] = $1 > 120 && $2 > 120}
      END {for (a = 31; lit[a - 1]; a--); for (b = 31; lit[b + 1]; b++); exit !(b - a >= 36 && b - a <= 42)}' ||
      return 1
  done
}
