#!/usr/bin/env bash
# A long random game in virtual time: clicks anywhere (the buttons most often), drags, keys, focus changes and the
# rules popup, with games ending and starting for as long as asked. While it runs, the game's memory (RSS) is
# sampled and hiscore.dat is checked over and over; at the end the memory must not have grown and the hall of fame
# must be a whole, ordered table.
#   scripts/soak.sh [game minutes (60)] [seed (1)] [build folder (build)]
# SOAK_RSS_GROWTH_KB (default 4096) is the growth allowed between the first and the last fifth of the run. In a
# sanitizer build AddressSanitizer's quarantine of freed memory is kept small (8 MB), or its filling would read as
# growth.
set -euo pipefail
cd "$(dirname "$0")/.."
MINUTES=${1:-60}
SEED=${2:-1}
BUILD=${3:-build}
GROWTH_KB=${SOAK_RSS_GROWTH_KB:-4096}
export ASAN_OPTIONS=${ASAN_OPTIONS:-quarantine_size_mb=8}
PROGRAM=$PWD/$BUILD/zorvel-headless
GAME_DIR=$PWD/$BUILD/suite/Zorvel
[ -x "$PROGRAM" ] && [ -d "$GAME_DIR" ] || { echo "soak: build $BUILD first (zorvel-headless and the suite)"; exit 2; }

WORK=$(mktemp -d /tmp/zorvel-soak-XXXXXX)
[ "${SOAK_KEEP:-0}" = 1 ] || trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/suite/Zorvel"
cp -r "$GAME_DIR"/. "$WORK/suite/Zorvel/"
rm -f "$WORK/suite/Zorvel/hiscore.dat"
printf '[setup]\r\nmusic=Y\r\nSFX=Y\r\nplayerid=0\r\n[Player1]\r\nname=Soak\r\n' > "$WORK/suite/options.ini"

# The script: one event group every 20 to 400 ms of game time; "newgame" is clicked rarely enough that most
# games run to their end. "menu" and "exit" (x 600 and beyond, y 510 and below) end the program, so clicks and
# drags stay out of that corner and off "newgame"; every loss of focus is given back.
awk -v seed="$SEED" -v end=$((MINUTES * 60000)) '
function click(x, y) { print t, "move", x, y; print t, "ldown", x, y; t += 10 + int(rand() * 120); print t, "lup", x, y }
function point() { do { x = int(rand() * 800); y = int(rand() * 600) } while ((x >= 600 || x < 100) && y >= 510) }
BEGIN {
  srand(seed); print "zorvel-script 1"; print "seed", seed
  split("T F P SPACE RETURN LEFT RIGHT DOWN UP F1 A 1", keys, " ")
  t = 500
  while (t < end) {
    r = rand()
    if (r < 0.30) { split("260 525 400 525 520 525 397 327", b, " "); i = 1 + 2 * int(rand() * 4); click(b[i], b[i + 1]) }
    else if (r < 0.45) { point(); click(x, y) }
    else if (r < 0.55) { point(); print t, "move", x, y }
    else if (r < 0.65) {
      point(); print t, "ldown", x, y
      for (s = 0; s < 5; s++) { t += 10 + int(rand() * 40); point(); print t, "move", x, y }
      t += 10; print t, "lup", x, y
    }
    else if (r < 0.85) { k = keys[1 + int(rand() * 12)]; print t, "keydown", k; t += 10 + int(rand() * 90); print t, "keyup", k }
    else if (r < 0.90) { print t, "deactivate"; t += 100 + int(rand() * 3000); print t, (rand() < 0.5 ? "activate" : "clickactivate") }
    else if (r < 0.91) { click(147, 543) }
    else if (r < 0.95) { point(); print t, "rdown", x, y; t += 30; print t, "rup", x, y }
    else if (r < 0.951) { click(50, 540) }
    else { print t, "keymenu" }
    t += 20 + int(rand() * 380)
  }
  print (t > end ? t : end), "close"
}' > "$WORK/script.txt"

# Whole table, count 20, scores best first, every name terminated.
valid_table() {
  local file=$1
  [ "$(stat -c %s "$file")" = 5204 ] || { echo "size $(stat -c %s "$file")"; return 1; }
  [ "$(od -An -t d4 -N 4 "$file" | tr -d ' ')" = 20 ] || { echo "count is not 20"; return 1; }
  local previous=2147483647 i score nul
  for ((i = 0; i < 20; i++)); do
    score=$(od -An -t d4 -j $((4 + 260 * i + 256)) -N 4 "$file" | tr -d ' ')
    [ "$score" -le "$previous" ] || { echo "entry $i ($score) above entry $((i - 1)) ($previous)"; return 1; }
    previous=$score
    nul=$(od -An -t u1 -v -j $((4 + 260 * i)) -N 256 "$file" | tr -s ' ' '\n' | grep -c '^0$' || true)
    [ "$nul" -gt 0 ] || { echo "name $i has no terminator"; return 1; }
  done
}

cd "$WORK/suite/Zorvel"
start=$(date +%s)
env ZORVEL_CLOCK=virtual ZORVEL_SCRIPT="$WORK/script.txt" ZORVEL_TRACE="$WORK/trace.txt" ZORVEL_NO_LAUNCH=1 \
    ZORVEL_MESSAGEBOX=stderr "$PROGRAM" "$WORK/suite" > "$WORK/output.txt" 2>&1 &
pid=$!
: > "$WORK/rss.txt"
checks=0
failed=""
while kill -0 "$pid" 2>/dev/null; do
  rss=$(awk '/^VmRSS/ { print $2 }' "/proc/$pid/status" 2>/dev/null || true)
  [ -n "$rss" ] && echo "$rss" >> "$WORK/rss.txt"
  if [ -f hiscore.dat ]; then
    if ! why=$(valid_table hiscore.dat); then failed="hiscore.dat invalid during the run: $why"; kill "$pid"; break; fi
    checks=$((checks + 1))
  fi
  sleep 0.5
done
set +e
wait "$pid"
code=$?
set -e
seconds=$(($(date +%s) - start))

games=$(grep -c "game over" "$WORK/trace.txt" || true)
writes=$(grep -c "hiscore write" "$WORK/trace.txt" || true)
popups=$(grep -c "popup open" "$WORK/trace.txt" || true)
samples=$(wc -l < "$WORK/rss.txt")
echo "soak: $MINUTES game minutes, seed $SEED, $(grep -c . "$WORK/script.txt") script lines, $seconds s of real time"
echo "soak: $games games over, $writes hall-of-fame writes, $popups popups, $checks checks of hiscore.dat"
[ "$code" = 0 ] || failed="${failed:+$failed; }the game exited with $code"
[ -z "$failed" ] && [ -f hiscore.dat ] && { why=$(valid_table hiscore.dat) || failed="hiscore.dat invalid at the end: $why"; }
[ -z "$failed" ] && [ ! -f hiscore.dat ] && failed="no game wrote hiscore.dat"
if [ "$samples" -ge 10 ]; then
  fifth=$((samples / 5))
  early=$(head -n "$fifth" "$WORK/rss.txt" | sort -n | tail -n 1)
  late=$(tail -n "$fifth" "$WORK/rss.txt" | sort -n | tail -n 1)
  echo "soak: RSS over $samples samples: first fifth peak $early kB, last fifth peak $late kB, max $(sort -n "$WORK/rss.txt" | tail -n 1) kB"
  [ $((late - early)) -le "$GROWTH_KB" ] || failed="${failed:+$failed; }RSS grew by $((late - early)) kB"
else
  echo "soak: only $samples RSS samples; the run was too short to judge memory"
fi
if [ -n "$failed" ]; then
  echo "soak FAILED: $failed"
  tail -n 20 "$WORK/output.txt"
  exit 1
fi
echo "soak passed"
