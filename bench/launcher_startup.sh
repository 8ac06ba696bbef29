#!/usr/bin/env bash
# Start-up of the launcher in a window under Xvfb, as a player feels it: from starting Hubbix to its first
# presented frame, and from pressing Return on its Play button to the game's first presented frame. Prints min,
# median and max over the runs and fails when a median is over its budget (100 ms and 300 ms).
#   bench/launcher_startup.sh [--runs N] [--build DIR]
set -euo pipefail
RUNS=7
BUILD=$(cd "$(dirname "$0")/.." && pwd)/build
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) RUNS=$2; shift 2 ;;
    --build) BUILD=$(cd "$2" && pwd); shift 2 ;;
    *) echo "usage: $0 [--runs N] [--build DIR]" >&2; exit 2 ;;
  esac
done
WORK=$(mktemp -d /tmp/hubbix-bench-XXXXXX)
XVFB_PID=""
PID=""
cleanup() {
  [ -n "$PID" ] && kill "$PID" 2>/dev/null || true
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
exec 3>"$WORK/displayfd"
Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
XVFB_PID=$!
for _ in $(seq 1 100); do [ -s "$WORK/displayfd" ] && break; sleep 0.1; done
export DISPLAY=":$(head -n1 "$WORK/displayfd")" SDL_AUDIODRIVER=dummy

wait_for() { for _ in $(seq 1 300); do [ -s "$1" ] && return 0; sleep 0.01; done; return 1; }
ms_since() { awk -v a="$1" -v b="$(cat "$2")" 'BEGIN { printf "%.1f\n", (b - a * 1e6) / 1000 }'; }

: > "$WORK/launcher.txt"
: > "$WORK/game.txt"
for run in $(seq 1 "$RUNS"); do
  rm -rf "$WORK/suite"
  cp -r "$BUILD/suite" "$WORK/suite"
  printf '[setup]\nfullscreen=0\n' > "$WORK/suite/Zorvel/setup.ini"
  log=$WORK/first.txt
  rm -f "$log"
  t0=$EPOCHREALTIME
  ZORVEL_STARTUP_LOG=$log "$WORK/suite/Hubbix" >/dev/null 2>&1 &
  PID=$!
  wait_for "$log" || { echo "run $run: the launcher showed no frame" >&2; exit 1; }
  ms_since "$t0" "$log" >> "$WORK/launcher.txt"
  win=""
  for _ in $(seq 1 100); do win=$(xdotool search --name '^Hubbix$' 2>/dev/null | head -n1 || true); [ -n "$win" ] && break; sleep 0.05; done
  sleep 0.5
  # The game inherits the same log name: its own first frame replaces the launcher's.
  rm -f "$log"
  t1=$EPOCHREALTIME
  xdotool key --window "$win" Return
  wait_for "$log" || { echo "run $run: the game showed no frame" >&2; exit 1; }
  ms_since "$t1" "$log" >> "$WORK/game.txt"
  kill "$PID" 2>/dev/null || true
  wait "$PID" 2>/dev/null || true
  PID=""
done

summary() {  # name file budget
  sort -n "$2" | awk -v name="$1" -v budget="$3" '{ v[NR] = $1 } END {
    m = (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2
    printf "%-48s min %7.1f  median %7.1f  max %7.1f ms  (budget %d, %d runs)\n", name, v[1], m, v[NR], budget, NR
    over = 0; if (m > budget) over = 1; exit over }'
}
status=0
summary "launcher start-up to its first frame" "$WORK/launcher.txt" 100 || status=1
summary "launcher Play to the game's first frame" "$WORK/game.txt" 300 || status=1
echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
exit $status
