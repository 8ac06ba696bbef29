#!/usr/bin/env bash
# Measures real-time frame pacing and CPU use of the game's frame loop: frames per second, the frame interval's
# median and 99th percentile, and the CPU share of one core.
# Usage: bench/frame_pacing.sh [seconds] [program]   (default 10 s, build/zorvel-headless in real time;
# give build/zorvel to measure the windowed game in a private X server)
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
if [ "$(basename "$PROGRAM")" = zorvel ] || [ "$(basename "$PROGRAM")" = Zorvel ]; then
  # The windowed game in a private X server; Escape after the time is up.
  exec 3>"$WORK/displayfd"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  trap 'kill $XVFB_PID 2>/dev/null; rm -rf "$WORK"' EXIT
  for _ in $(seq 1 100); do [ -s "$WORK/displayfd" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$WORK/displayfd")"
  /usr/bin/time -f '%U %S %e' -o "$WORK/time.txt" env ZORVEL_FRAME_LOG="$WORK/frames.txt" SDL_AUDIODRIVER=dummy \
    "$PROGRAM" "$WORK/suite" >/dev/null 2>&1 &
  sleep "$SECONDS_TO_RUN"
  xdotool search --name '^Zorvel' key Escape
  wait %2 2>/dev/null || wait
else
  /usr/bin/time -f '%U %S %e' -o "$WORK/time.txt" env ZORVEL_SCRIPT="$WORK/script.txt" \
    ZORVEL_FRAME_LOG="$WORK/frames.txt" SDL_AUDIODRIVER=dummy "$PROGRAM" "$WORK/suite" >/dev/null 2>&1
fi
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
