#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Builds the browser page in BUILD (default build-web) and runs the browser
# tests on it: puppeteer-core, pinned by the top folder's package-lock.json, is installed in
# BUILD/npm/ (again only when the lock file changes), Chromium's profiles go
# to BUILD/profiles/. The page is served by the tests on 127.0.0.1 only.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
top=$(cd "$here/../.." && pwd)
build=$(realpath -m "${1:-$top/build-web}")
"$top/scripts/web_page.sh" "$build"
mkdir -p "$build/npm" "$build/profiles"
if ! cmp -s "$top/package-lock.json" "$build/npm/package-lock.json" ||
  [ ! -d "$build/npm/node_modules/puppeteer-core" ]; then
  cp "$top/package.json" "$top/package-lock.json" "$build/npm/"
  (cd "$build/npm" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >/dev/null)
fi
export ORRERY_PAGE_DIR="$build/page" ORRERY_NODE_MODULES="$build/npm/node_modules" \
  ORRERY_PROFILE_DIR="$build/profiles"
exec node --test "$here"/*.test.mjs
