#!/usr/bin/env bash
# SPDX-License-Identifier: MIT
# Makes what the browser tests and the browser benchmark run on, in BUILD:
# the page (scripts/web_page.sh) in BUILD/page/, puppeteer-core as the top
# folder's package-lock.json pins it in BUILD/npm/ (installed again only when
# the lock file changes or an earlier install stopped half way), and
# BUILD/profiles/ for Chromium's profiles.
#   scripts/web_prepare.sh BUILD
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build=${1:?usage: $0 BUILD}
"$top/scripts/web_page.sh" "$build"
mkdir -p "$build/npm" "$build/profiles"
if ! cmp -s "$top/package-lock.json" "$build/npm/package-lock.json" ||
  [ ! -d "$build/npm/node_modules/puppeteer-core" ]; then
  cp "$top/package.json" "$top/package-lock.json" "$build/npm/"
  (cd "$build/npm" && npm ci --ignore-scripts --no-audit --no-fund --loglevel=error >/dev/null)
fi
