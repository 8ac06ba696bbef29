#!/usr/bin/env bash
# The browser build's figures (bytes, cold load over a slow line, idle main-thread time), an earlier build's site
# beside this one's, as a Markdown table. Needs chromium and the browser test's npm packages (tests/web).
#   bench/web_figures.sh <earlier site folder> [this site folder, default build-web/site] [runs, default 3]
set -euo pipefail
cd "$(dirname "$0")/.."
(cd tests/web && [ -d node_modules ] || npm ci --no-audit --no-fund)
node tests/web/web_figures.mjs "$1" "${2:-build-web/site}" "${3:-3}"
