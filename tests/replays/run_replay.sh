#!/usr/bin/env bash
# Plays one replay: a fresh copy of the game's folder with the replay's own questions (and, when given, its
# launcher options), the script run headless in virtual time, then the trace and hiscore.dat
# checked against the replay's intent (intent.txt) and compared with the expected files. With
# ZORVEL_UPDATE_REPLAYS=1 the expected files are rewritten instead, but only when the intent is met.
#   run_replay.sh <zorvel-headless> <game folder> <replay folder>
set -euo pipefail
PROGRAM=$1
GAME_DIR=$2
REPLAY=$3
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../golden/compare_pictures.sh"
WORK=$(mktemp -d /tmp/zorvel-replay-XXXXXX)
trap 'rm -rf "$WORK"' EXIT

mkdir -p "$WORK/suite/Zorvel"
cp -r "$GAME_DIR"/. "$WORK/suite/Zorvel/"
rm -f "$WORK/suite/Zorvel/hiscore.dat"
questions="$HERE/questions_mixed.txt"
[ -f "$REPLAY/questions.txt" ] && questions="$REPLAY/questions.txt"
cp "$questions" "$WORK/suite/Zorvel/Zorvel.txt"
if [ -f "$REPLAY/options.ini" ]; then cp "$REPLAY/options.ini" "$WORK/suite/options.ini"
else printf '[setup]\r\nmusic=Y\r\nSFX=Y\r\nplayerid=0\r\n[Player1]\r\nname=Ann\r\n' > "$WORK/suite/options.ini"; fi
# A hall of fame to start from: lines "<score> <name>", best first, written as the game's 5204-byte table.
if [ -f "$REPLAY/hiscore.txt" ]; then "$HERE/make_hiscore.sh" "$REPLAY/hiscore.txt" "$WORK/suite/Zorvel/hiscore.dat"; fi
# A replay with a file "readonly" finds the hall of fame write-protected.
[ -f "$REPLAY/readonly" ] && [ -f "$WORK/suite/Zorvel/hiscore.dat" ] && chmod a-w "$WORK/suite/Zorvel/hiscore.dat"
[ -f "$WORK/suite/Zorvel/hiscore.dat" ] && cp "$WORK/suite/Zorvel/hiscore.dat" "$WORK/hiscore.before"

cd "$WORK/suite/Zorvel"
set +e
env ZORVEL_CLOCK=virtual ZORVEL_SCRIPT="$REPLAY/script.txt" ZORVEL_TRACE="$WORK/trace.txt" \
    ZORVEL_NO_LAUNCH=1 ZORVEL_MESSAGEBOX=stderr "$PROGRAM" "$WORK/suite" > "$WORK/output.txt" 2>&1
code=$?
set -e
echo "exit $code" >> "$WORK/trace.txt"
# The replay's temporary folder differs on every run.
sed -i "s#$WORK#<suite>#g" "$WORK/trace.txt"

hexdump_or_none() { if [ -f "$1" ]; then od -An -tx1 -v "$1"; else echo "no file"; fi; }
hexdump_or_none "$WORK/suite/Zorvel/hiscore.dat" > "$WORK/hiscore.hex"

# What the replay is for comes first: a trace that misses its intent is never taken as the new expectation.
if [ ! -f "$REPLAY/intent.txt" ]; then echo "$(basename "$REPLAY") has no intent.txt"; exit 1; fi
# A write-protected hall of fame must come out of the game exactly as it went in.
if [ -f "$REPLAY/readonly" ] && ! cmp -s "$WORK/hiscore.before" "$WORK/suite/Zorvel/hiscore.dat"; then
  echo "replay $(basename "$REPLAY") misses its intent: the write-protected hiscore.dat was changed"; exit 1
fi
if ! "$HERE/check_intent.sh" "$WORK/trace.txt" "$REPLAY/intent.txt" "$questions" > "$WORK/intent.txt"; then
  echo "replay $(basename "$REPLAY") misses its intent:"; cat "$WORK/intent.txt"
  [ -s "$WORK/output.txt" ] && { echo "--- program output ---"; cat "$WORK/output.txt"; }
  exit 1
fi

if [ "${ZORVEL_UPDATE_REPLAYS:-0}" = 1 ]; then
  cp "$WORK/trace.txt" "$REPLAY/expected.trace"
  cp "$WORK/hiscore.hex" "$REPLAY/expected.hiscore.hex"
  for golden in "$REPLAY"/golden/*.png; do
    [ -e "$golden" ] && cp "$WORK/suite/Zorvel/$(basename "$golden")" "$golden"
  done
  echo "updated $(basename "$REPLAY")"
  exit 0
fi
status=0
if ! diff -u "$REPLAY/expected.trace" "$WORK/trace.txt" > "$WORK/trace.diff"; then
  echo "trace differs from $REPLAY/expected.trace:"; head -n 60 "$WORK/trace.diff"; status=1
fi
if ! diff -u "$REPLAY/expected.hiscore.hex" "$WORK/hiscore.hex" > "$WORK/hiscore.diff"; then
  echo "hiscore.dat differs:"; head -n 40 "$WORK/hiscore.diff"; status=1
fi
# Screenshots the script took are compared exactly with the golden pictures kept beside it.
compare_golden_pictures "$REPLAY/golden" "$WORK/suite/Zorvel" "$(basename "$REPLAY")" || status=1
[ $status -eq 0 ] && echo "replay $(basename "$REPLAY"): trace, hiscore.dat and pictures as expected"
[ -s "$WORK/output.txt" ] && { echo "--- program output ---"; cat "$WORK/output.txt"; }
exit $status
