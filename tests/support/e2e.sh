# SPDX-License-Identifier: MIT
# Shared by the end-to-end scripts once $work is set: failures, waits with deadlines, Xvfb, the
# program (output in $work/out); on leaving, all started is ended and $work removed.
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
# SCREEN: a private Xvfb as DISPLAY, tried again where another container holds its number.
start_xvfb() {
  for _ in 1 2 3 4 5; do
    : >"$work/display"  # emptied first: the server writes its number there once it is ready
    Xvfb -displayfd 3 -screen 0 "$1" -nolisten tcp -noreset 3>"$work/display" 2>/dev/null &
    wait_until 10 eval '[ -s "$work/display" ] || ! kill -0 $! 2>/dev/null'
    [ -s "$work/display" ] && export DISPLAY=":$(cat "$work/display")" && return
  done
  fail "Xvfb did not start" && exit 1
}
# WINDOW [GEOMETRY]: "red green blue" lines, top row first (raw: ImageMagick 7's text has fractions).
pixels() { import -window "$1" ${2:+-crop "$2"} -depth 8 rgb:- 2>/dev/null | od -An -v -tu1 -w3; }
# WINDOW GEOMETRY CONDITION: how many of those pixels meet CONDITION on r, g, b.
count() { pixels "$1" "$2" | awk "{r = \$1; g = \$2; b = \$3} $3 {n++} END {print n + 0}"; }
# WINDOW: the lit Sun in the middle, its 9x9 centre Sun.bmp's mean 255 255 165; radius 300 * (0.6 /
# 22) / tan(22.5 degrees) = 19.75 pixels, so the lit runs across and down are 37 to 43 long.
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
