#!/usr/bin/env bash
# A logout while a game runs: the X server goes away on its own, or SIGTERM comes first and the server goes 20 ms
# later, as a desktop's logout does. Either way the game is gone within a second, without an abort, and the hall of
# fame is left as it was. SIGHUP ends the game as closing its window does.
GAME="$1"
GAME_DIR="$2"
source "$(dirname "$0")/xvfb_session.sh"

mkdir -p "$WORK/suite/Zorvel"
cp -r "$GAME_DIR"/. "$WORK/suite/Zorvel/"
printf '[setup]\r\nmusic=Y\r\nSFX=Y\r\nplayerid=0\r\n[Player1]\r\nname=Ann\r\n' >"$WORK/suite/options.ini"
# A hall of fame with one entry: Ann, 875 points.
python3 - "$WORK/suite/Zorvel/hiscore.dat" <<'PY'
import struct, sys
table = struct.pack('<i', 20) + b'Ann:::Y'.ljust(256, b'\0') + struct.pack('<i', 875)
table += (b'\0' * 256 + struct.pack('<i', 0)) * 19
open(sys.argv[1], 'wb').write(table)
PY
cp "$WORK/suite/Zorvel/hiscore.dat" "$WORK/hiscore.before"
cd "$WORK/suite/Zorvel"

start_game() {
  ZORVEL_TRACE="$WORK/$1.trace" "$GAME" "$WORK/suite" >"$WORK/$1.log" 2>&1 &
  GAME_PID=$!
  WIN=$(wait_for_window '^Zorvel') || fail "$1: no game window (log: $(cat "$WORK/$1.log"))"
  sleep 1  # the game is well into its first question
}

# Waits for the game to end, at most 3 s, and prints how long that took in milliseconds since $1 (date +%s%N).
ms_until_gone() {
  local now
  while now=$(date +%s%N); kill -0 "$GAME_PID" 2>/dev/null && [ $((now - $1)) -lt 3000000000 ]; do sleep 0.01; done
  echo $(( (now - $1) / 1000000 ))
}

# Checks how the game ended: within a second, with the expected exit code, no abort, the hall of fame intact.
expect_ended() {  # case start-ns expected-code
  local took code=0
  took=$(ms_until_gone "$2")
  kill -0 "$GAME_PID" 2>/dev/null && { kill -KILL "$GAME_PID"; fail "$1: the game still runs after ${took} ms"; }
  wait "$GAME_PID" || code=$?
  GAME_PID=""
  [ "$took" -le 1000 ] || fail "$1: the game took ${took} ms to end"
  grep -q "terminate called" "$WORK/$1.log" && fail "$1: the game aborted: $(cat "$WORK/$1.log")"
  [ "$code" -eq "$3" ] || fail "$1: exit code $code, not $3; the game said: $(tail -n 20 "$WORK/$1.log")"
  cmp -s "$WORK/hiscore.before" hiscore.dat || fail "$1: hiscore.dat changed"
  # The lock file beside the table stays; a temporary of a save would not.
  ls | grep -v '^hiscore\.dat\.lock$' | grep -q '^hiscore\.dat\.' &&
    fail "$1: a half-written copy of hiscore.dat was left: $(ls)"
  echo "$1: ended in ${took} ms, exit code $code"
}

# The X server alone goes away: the game says so and ends at once with exit code 1.
start_game display-lost
t0=$(date +%s%N)
kill -TERM "$XVFB_PID"
expect_ended display-lost "$t0" 1
grep -q "display has gone away" "$WORK/display-lost.log" || fail "display-lost: no word of why: $(cat "$WORK/display-lost.log")"
wait "$XVFB_PID" 2>/dev/null || true

# A logout: SIGTERM, then the X server goes away 20 ms later. An ordinary end: exit code 0.
start_xvfb
start_game logout
t0=$(date +%s%N)
kill -TERM "$GAME_PID"
sleep 0.02
kill -TERM "$XVFB_PID"
expect_ended logout "$t0" 0
grep -q " end requested" "$WORK/logout.trace" || fail "logout: the request to end was not taken"
wait "$XVFB_PID" 2>/dev/null || true

# SIGHUP with the display still there: the game closes as from its window, through its shutdown.
start_xvfb
start_game hangup
t0=$(date +%s%N)
kill -HUP "$GAME_PID"
expect_ended hangup "$t0" 0
grep -q " shutdown" "$WORK/hangup.trace" || fail "hangup: the game did not end through its shutdown"

echo "PASS: display lost, logout (SIGTERM then display) and SIGHUP each end the game within a second"
