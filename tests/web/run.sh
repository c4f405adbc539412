#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the browser page in BUILD (default build-web) with what the tests
# need beside it (scripts/web_prepare.sh) and runs the browser tests on it in
# one engine, or in each of the three in turn (default all):
#   tests/web/run.sh [BUILD [chromium|firefox|webkit|all]]
# The page is served by the tests on 127.0.0.1 only.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:-$top/build-web}")
engines=${2:-all}
[ "$engines" = all ] && engines="chromium firefox webkit"
"$top/scripts/web_prepare.sh" "$build"
export ORRERY_PAGE_DIR="$build/page" ORRERY_NODE_MODULES="$build/npm/node_modules" \
  ORRERY_PROFILE_DIR="$build/profiles"
status=0
for engine in $engines; do
  case $engine in chromium | firefox | webkit) ;; *) echo "no engine $engine" >&2; exit 2 ;; esac
  echo "== the browser tests in $engine"
  ORRERY_ENGINE=$engine node --test "$here"/*.test.mjs || status=1
done
exit $status
