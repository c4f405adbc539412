#!/usr/bin/env bash
# Builds orrery and runs it in a folder that holds the planet pictures.
#   scripts/run.sh        the desktop program
#   scripts/run.sh web    the browser page, served on 127.0.0.1 (port $ORRERY_WEB_PORT,
#                         default 8080) until Ctrl+C; open the address it prints
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" = web ]; then
  "$top/scripts/deps.sh" web-run
  "$top/scripts/web_page.sh" "$top/build-web-release"
  port=${ORRERY_WEB_PORT:-8080}
  echo "Orrery's page: http://127.0.0.1:$port/ (Ctrl+C stops the server)"
  exec python3 -m http.server --bind 127.0.0.1 --directory "$top/build-web-release/page" "$port"
fi
"$top/scripts/deps.sh" run
cmake -S "$top" -B "$top/build-release" -DCMAKE_BUILD_TYPE=Release -DORRERY_TESTS=OFF >/dev/null
cmake --build "$top/build-release" -j"$(nproc)" >/dev/null
cd "$top/build-release/run"
exec ../orrery "$@"
