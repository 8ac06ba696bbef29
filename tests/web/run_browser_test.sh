#!/usr/bin/env bash
# Builds the browser version and the headless game, installs the test's pinned npm packages (package-lock.json)
# and plays the browser version in headless Chromium.
#   tests/web/run_browser_test.sh [screenshot folder]
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/build-web.sh
cmake --build --preset default --target zorvel-headless
(cd tests/web && npm ci --no-audit --no-fund)
node tests/web/play_in_browser.mjs build-web/site build/zorvel-headless build/suite/Zorvel "${1:-}"
