#!/usr/bin/env bash
# Builds everything and starts the game through its launcher, in a window with sound and music.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake --preset default
cmake --build --preset default
cd build/suite
exec ./Hubbix "$@"
