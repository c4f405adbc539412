#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Fails when modules of the window-system layer use each other in a circle. A
# module is a .cpp with its .h; it uses another when either of its files
# includes the other's header. Each module must include only headers of
# modules below it, so that every part can be read, built and tested on top
# of the ones beneath.
#   scripts/module_cycles.sh [DIR]         DIR defaults to platform
#   scripts/module_cycles.sh --order [DIR] also prints the modules bottom first
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
order=false
if [ "${1:-}" = --order ]; then order=true; shift; fi
dir=${1:-platform}
cd "$top"

# One line "USED USER" for each use (tsort's order: the used one first), and
# "MODULE MODULE" for each module, so that a module nobody uses is counted.
uses() {
  find "$dir" \( -name '*.cpp' -o -name '*.h' \) -print | sort | while read -r file; do
    module=${file%.*}
    echo "$module $module"
    sed -n 's/^[[:space:]]*#[[:space:]]*include[[:space:]]*"\([^"]*\)\.h".*/\1/p' "$file" |
      while read -r used; do
        [ "$used" != "$module" ] && [ -f "$used.h" ] && [[ "$used" == "$dir"/* ]] &&
          echo "$used $module"
      done
  done
}

graph=$(uses)
errors=$(mktemp)
trap 'rm -f "$errors"' EXIT
sorted=$(tsort <<<"$graph" 2>"$errors") || true
# tsort names each circle it finds after a line that says it found one.
circles=$(awk '/input contains a loop/ { if (c != "") print c; c = ""; next }
               { sub(/^tsort: /, ""); c = c == "" ? $0 : c " -> " $0 }
               END { if (c != "") print c }' "$errors")
if [ -n "$circles" ]; then
  echo "modules of $dir/ that use each other in a circle:" >&2
  sed 's/^/  /' <<<"$circles" >&2
  exit 1
fi
$order && echo "$sorted"
echo "no circles among the $(wc -l <<<"$sorted") modules of $dir/"
