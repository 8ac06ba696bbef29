#!/usr/bin/env bash
# Cross-checks the listening report with sox: sample peak, RMS, loudest 50 ms RMS and offset of every sound in
# the game's folder, and of a game's audio dump when one is given (sox reads no MP3 here; the dump carries the
# music as the game played it). Needs sox.
#   bench/sound_levels.sh build/suite/Zorvel [mix.wav]
set -euo pipefail
GAME_DIR=${1:?game folder}
DUMP=${2:-}
command -v sox > /dev/null || { echo "sox is not installed (apt-get install sox)"; exit 2; }
printf '%-14s %9s %9s %9s %12s\n' file "peak dB" "RMS dB" "RMS pk dB" "DC offset"
measure() {
  sox "$1" -n stats 2>&1 | awk -v name="$(basename "$1")" '
    $1 == "DC" { dc = $3 } $1 == "Pk" && $2 == "lev" { pk = $4 } $1 == "RMS" && $2 == "lev" { rms = $4 }
    $1 == "RMS" && $2 == "Pk" { rpk = $4 }
    END { printf "%-14s %9s %9s %9s %12s\n", name, pk, rms, rpk, dc }'
}
for f in "$GAME_DIR"/sounds/*.wav; do measure "$f"; done
if [ -n "$DUMP" ]; then
  measure "$DUMP"
  # Samples at or over the mixer's knee (-1 dBFS, 29204 of 32767) would have been bent by its limit.
  sox "$DUMP" -t s16 -e signed - 2>/dev/null | od -An -v -td2 -w2 |
    awk '{ v = $1 < 0 ? -$1 : $1; if (v > 29204) n++ } END { printf "samples over the knee: %d\n", n + 0 }'
fi
