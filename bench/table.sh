#!/usr/bin/env bash
# Measures what a player feels, in one run, and prints one row per measure (min / median / max over the runs):
#   - CPU share of one core at 100 frames per second, headless in real time and in a window under Xvfb, read per
#     thread from /proc (the scheduler's nanoseconds, not clock ticks) over a steady window (start-up excluded);
#   - pacing: the 99th percentile of abs(frame interval - 10 ms), and the worst;
#   - frame cost (game step and present), headless real time, median and 99th percentile;
#   - a whole 180-second game replayed headless in virtual time (wall time);
#   - start-up to the first presented frame and peak memory, window under Xvfb;
#   - the game's keyed blit against SDL's keyed and RLE blits on the game's own art.
# Usage: bench/table.sh [--runs N] [--seconds S] [--build DIR] [--no-window]
#   DIR defaults to build/ of this checkout; S (default 25) is the length of each real-time run. The steady window is
#   S - 3 seconds: long, because the game does some of its work once a second or less often (the clock, the bull).
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/.." && pwd)
RUNS=1
SECONDS_TO_RUN=25
BUILD=$ROOT/build
WINDOW=1
while [ $# -gt 0 ]; do
  case $1 in
    --runs) RUNS=$2; shift 2 ;;
    --seconds) SECONDS_TO_RUN=$2; shift 2 ;;
    --build) BUILD=$(cd "$2" && pwd); shift 2 ;;
    --no-window) WINDOW=0; shift ;;
    *) echo "usage: $0 [--runs N] [--seconds S] [--build DIR] [--no-window]" >&2; exit 2 ;;
  esac
done
[ "$SECONDS_TO_RUN" -ge 6 ] || { echo "--seconds must be at least 6" >&2; exit 2; }
GAME=$BUILD/suite/Zorvel
[ -x "$BUILD/zorvel-headless" ] && [ -d "$GAME" ] || { echo "build $BUILD first (zorvel-headless and the suite)" >&2; exit 2; }

WORK=$(mktemp -d /tmp/zorvel-table-XXXXXX)
XVFB_PID=
cleanup() { [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null; rm -rf "$WORK"; }
trap cleanup EXIT
RESULTS=$WORK/results.txt
: > "$RESULTS"
record() { echo "$1|$2" >> "$RESULTS"; }  # row name, value

fresh_suite() {  # a private copy of the game folder, so runs never share a hall of fame
  rm -rf "$WORK/suite"
  mkdir -p "$WORK/suite/Zorvel"
  cp -r "$GAME"/. "$WORK/suite/Zorvel/"
  rm -f "$WORK/suite/Zorvel/hiscore.dat"
}

# Time on a processor, in nanoseconds, of every thread of a process: the scheduler's own count (schedstat), exact
# where the clock ticks of /proc/<pid>/stat would move by whole ticks and miss short wake-ups.
cpu_ns() {
  local total=0 stat on rest
  for stat in /proc/"$1"/task/*/schedstat; do
    read -r on rest < "$stat" 2>/dev/null || continue
    total=$((total + on))
  done
  echo "$total"
}

# Per-thread time, "task name nanoseconds" lines, for the per-thread breakdown.
thread_ns() {
  local task name on rest
  for task in /proc/"$1"/task/*; do
    name=$(cat "$task/comm" 2>/dev/null) || continue
    read -r on rest < "$task/schedstat" 2>/dev/null || continue
    echo "$task ${name// /_} $on"
  done
}

# Watches a running game: CPU over a steady window from 2 s after start to 1 s before the end.
steady_cpu() {  # pid, label
  local pid=$1 label=$2 t0 t1 c0 c1 window
  sleep 2
  thread_ns "$pid" > "$WORK/threads0.txt"
  c0=$(cpu_ns "$pid"); t0=$EPOCHREALTIME
  sleep $((SECONDS_TO_RUN - 3))
  c1=$(cpu_ns "$pid"); t1=$EPOCHREALTIME
  thread_ns "$pid" > "$WORK/threads1.txt"
  window=$(awk -v a="$t0" -v b="$t1" 'BEGIN { print b - a }')
  record "CPU at 100 fps, $label (% of a core)" "$(awk -v c=$((c1 - c0)) -v w="$window" \
    'BEGIN { printf "%.2f", 100 * c / 1e9 / w }')"
  # Per thread, for the log only.
  awk -v w="$window" 'NR == FNR { t[$1] = $3; next }
    { d = $3 - t[$1]; if (d > 0) printf "    %-16s %5.2f %%\n", $2, 100 * d / 1e9 / w }' \
    "$WORK/threads0.txt" "$WORK/threads1.txt" >> "$WORK/threads.log"
}

# Pacing and frame cost from a frame log, frames of the first 2 s left out.
frame_stats() {  # log file, label, with cost (1/0)
  awk 'NR == 1 { first = $1 } $1 - first >= 2000000 && $2 > 0 { print }' "$1" > "$WORK/steady.txt"
  awk 'NR > 1 { d = ($1 - prev) / 1000.0 - 10; if (d < 0) d = -d; print d } { prev = $1 }' "$WORK/steady.txt" |
    sort -n > "$WORK/jitter.txt"
  local n
  n=$(wc -l < "$WORK/jitter.txt")
  [ "$n" -gt 10 ] || { echo "too few frames in $1" >&2; return; }
  record "pacing, $2, p99 abs(interval - 10 ms) (ms)" "$(awk -v n="$n" 'NR == int(n * 0.99) + 1 { printf "%.3f", $1; exit }' "$WORK/jitter.txt")"
  record "pacing, $2, worst abs(interval - 10 ms) (ms)" "$(tail -n1 "$WORK/jitter.txt")"
  if [ "$3" = 1 ]; then
    awk '{ print $2 - $1 }' "$WORK/steady.txt" | sort -n > "$WORK/cost.txt"
    n=$(wc -l < "$WORK/cost.txt")
    record "frame cost, $2, median (us)" "$(awk -v n="$n" 'NR == int(n * 0.5) + 1 { print; exit }' "$WORK/cost.txt")"
    record "frame cost, $2, p99 (us)" "$(awk -v n="$n" 'NR == int(n * 0.99) + 1 { print; exit }' "$WORK/cost.txt")"
  fi
}

run_headless() {
  fresh_suite
  # In real time the script's ticks are real milliseconds: Escape when the time is up.
  printf 'zorvel-script 1\nseed 1\n%d keyup ESCAPE\n' $((SECONDS_TO_RUN * 1000)) > "$WORK/script.txt"
  (cd "$WORK/suite/Zorvel" && exec env ZORVEL_SCRIPT="$WORK/script.txt" ZORVEL_FRAME_LOG="$WORK/frames.txt" \
    SDL_AUDIODRIVER=dummy "$BUILD/zorvel-headless" "$WORK/suite" >/dev/null 2>&1) &
  local pid=$!
  echo "  headless real time, per thread:" >> "$WORK/threads.log"
  steady_cpu "$pid" "headless real time"
  wait "$pid" || true
  frame_stats "$WORK/frames.txt" "headless real time" 1
}

run_replay() {
  fresh_suite
  # A whole game: the clock runs out untouched, the game-over picture shows, Escape ends it.
  printf 'zorvel-script 1\nseed 1\n183000 keyup ESCAPE\n' > "$WORK/replay.txt"
  local t0 t1
  t0=$EPOCHREALTIME
  (cd "$WORK/suite/Zorvel" && env ZORVEL_CLOCK=virtual ZORVEL_SCRIPT="$WORK/replay.txt" ZORVEL_NO_LAUNCH=1 \
    SDL_AUDIODRIVER=dummy "$BUILD/zorvel-headless" "$WORK/suite" >/dev/null 2>&1) || true
  t1=$EPOCHREALTIME
  record "whole 180 s game replayed headless, virtual time (s)" "$(awk -v a="$t0" -v b="$t1" 'BEGIN { printf "%.3f", b - a }')"
}

start_xvfb() {
  [ -n "$XVFB_PID" ] && return
  exec 3>"$WORK/displayfd"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
  XVFB_PID=$!
  for _ in $(seq 1 100); do [ -s "$WORK/displayfd" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$WORK/displayfd")"
}

run_window() {
  start_xvfb
  fresh_suite
  rm -f "$WORK/startup.txt"
  local t0 pid
  t0=$EPOCHREALTIME
  (cd "$WORK/suite/Zorvel" && exec env ZORVEL_FRAME_LOG="$WORK/wframes.txt" ZORVEL_STARTUP_LOG="$WORK/startup.txt" \
    SDL_AUDIODRIVER=dummy "$BUILD/zorvel" "$WORK/suite" >/dev/null 2>&1) &
  pid=$!
  echo "  window under Xvfb, per thread:" >> "$WORK/threads.log"
  steady_cpu "$pid" "window under Xvfb"
  local peak
  peak=$(awk '/^VmHWM/ { print $2 }' /proc/"$pid"/status)
  sleep 1
  xdotool search --name '^Zorvel' key Escape >/dev/null 2>&1 || kill "$pid"
  wait "$pid" || true
  record "peak memory, window (MB)" "$(awk -v k="$peak" 'BEGIN { printf "%.1f", k / 1024 }')"
  if [ -s "$WORK/startup.txt" ]; then
    record "start-up to first presented frame, window (ms)" \
      "$(awk -v a="$t0" -v b="$(cat "$WORK/startup.txt")" 'BEGIN { printf "%.1f", (b - a * 1e6) / 1000 }')"
  fi
  frame_stats "$WORK/wframes.txt" "window under Xvfb" 0
}

run_blits() {
  [ -x "$BUILD/bench/zorvel_blit_compare" ] || { echo "no $BUILD/bench/zorvel_blit_compare: blit rows skipped" >&2; return; }
  "$BUILD/bench/zorvel_blit_compare" "$GAME" | while IFS='|' read -r name value; do record "$name" "$value"; done
}

for run in $(seq 1 "$RUNS"); do
  echo "run $run of $RUNS" >&2
  echo "run $run" >> "$WORK/threads.log"
  run_headless
  run_replay
  [ "$WINDOW" = 1 ] && run_window
  run_blits
done

echo "machine: $(nproc) cores, load average $(cut -d' ' -f1-3 /proc/loadavg), $RUNS run(s) of ${SECONDS_TO_RUN} s"
printf '%-72s %10s %10s %10s\n' "measure" "min" "median" "max"
awk -F'|' '{ if (!($1 in seen)) { seen[$1] = 1; order[++n] = $1 } v[$1] = v[$1] " " $2 }
  END { for (i = 1; i <= n; ++i) print order[i] "|" v[order[i]] }' "$RESULTS" |
while IFS='|' read -r name values; do
  # shellcheck disable=SC2086
  sorted=$(printf '%s\n' $values | sort -g)
  count=$(printf '%s\n' "$sorted" | wc -l)
  min=$(printf '%s\n' "$sorted" | head -n1)
  max=$(printf '%s\n' "$sorted" | tail -n1)
  median=$(printf '%s\n' "$sorted" | sed -n "$(((count + 1) / 2))p")
  printf '%-72s %10s %10s %10s\n' "$name" "$min" "$median" "$max"
done
echo "CPU per thread (steady window):"
cat "$WORK/threads.log"
