#!/usr/bin/env bash
# Measures real-time frame pacing and CPU use of the game's frame loop: frames per second, the frame interval's
# median and 99th percentile, and the CPU share of one core.
# Usage: bench/frame_pacing.sh [seconds] [program]   (default 10 s, build/zorvel-headless in real time)
set -euo pipefail
cd "$(dirname "$0")/.."
SECONDS_TO_RUN=${1:-10}
PROGRAM=${2:-$PWD/build/zorvel-headless}
WORK=$(mktemp -d /tmp/zorvel-pacing-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/suite/Zorvel"
[ -d build/suite/Zorvel ] && cp -r build/suite/Zorvel/. "$WORK/suite/Zorvel/" 2>/dev/null || true
# In real time the script's ticks are real milliseconds.
printf 'zorvel-script 1\nseed 1\n%d keyup ESCAPE\n' $((SECONDS_TO_RUN * 1000)) > "$WORK/script.txt"
cd "$WORK/suite/Zorvel"
/usr/bin/time -f '%U %S %e' -o "$WORK/time.txt" env ZORVEL_SCRIPT="$WORK/script.txt" \
  ZORVEL_FRAME_LOG="$WORK/frames.txt" SDL_AUDIODRIVER=dummy "$PROGRAM" "$WORK/suite" >/dev/null 2>&1
read -r user sys elapsed < "$WORK/time.txt"
awk 'NR > 1 { d = ($1 - prev) / 1000.0; print d } { prev = $1 }' "$WORK/frames.txt" | sort -n > "$WORK/intervals.txt"
frames=$(wc -l < "$WORK/frames.txt")
first=$(head -n1 "$WORK/frames.txt"); last=$(tail -n1 "$WORK/frames.txt")
n=$(wc -l < "$WORK/intervals.txt")
p50=$(awk -v n="$n" 'NR == int(n * 0.50) + 1 { print; exit }' "$WORK/intervals.txt")
p99=$(awk -v n="$n" 'NR == int(n * 0.99) + 1 { print; exit }' "$WORK/intervals.txt")
p01=$(awk -v n="$n" 'NR == int(n * 0.01) + 1 { print; exit }' "$WORK/intervals.txt")
awk -v f="$frames" -v a="$first" -v b="$last" -v u="$user" -v s="$sys" -v e="$elapsed" \
    -v p50="$p50" -v p99="$p99" -v p01="$p01" 'BEGIN {
  fps = (f - 1) / ((b - a) / 1e6);
  printf "frames %d, %.2f frames per second\n", f, fps;
  printf "frame interval: median %.3f ms, p1 %.3f ms, p99 %.3f ms\n", p50, p01, p99;
  printf "CPU: %.2f s user + %.2f s system over %.2f s = %.1f %% of one core\n", u, s, e, 100 * (u + s) / e;
}'
