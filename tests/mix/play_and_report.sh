#!/usr/bin/env bash
# Plays the standard game headless in virtual time with the audio dump on, then prints the listening report
# of the game's folder and of the dump. The exit status is the report's: 0 when every sound, group, the music
# and the mix are within the mastering sheet.
#   play_and_report.sh <zorvel-headless> <mkassets> <game folder> [dump file to keep]
set -euo pipefail
PROGRAM=$1
MKASSETS=$2
GAME_DIR=$3
HERE=$(cd "$(dirname "$0")" && pwd)
WORK=$(mktemp -d /tmp/zorvel-mix-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
DUMP=${4:-$WORK/mix.wav}

mkdir -p "$WORK/suite/Zorvel"
cp -r "$GAME_DIR"/. "$WORK/suite/Zorvel/"
rm -f "$WORK/suite/Zorvel/hiscore.dat"
cp "$HERE/questions.txt" "$WORK/suite/Zorvel/Zorvel.txt"
printf '[setup]\r\nmusic=Y\r\nSFX=Y\r\nplayerid=0\r\n[Player1]\r\nname=Ann\r\n' > "$WORK/suite/options.ini"
cd "$WORK/suite/Zorvel"
env ZORVEL_CLOCK=virtual ZORVEL_SCRIPT="$HERE/standard_game.txt" ZORVEL_TRACE="$WORK/trace.txt" \
    ZORVEL_AUDIO_DUMP="$DUMP" ZORVEL_NO_LAUNCH=1 ZORVEL_MESSAGEBOX=stderr "$PROGRAM" "$WORK/suite" \
    > "$WORK/output.txt" 2>&1 || { echo "the game failed:"; cat "$WORK/output.txt"; tail "$WORK/trace.txt"; exit 1; }
# A game that plays no effect is not the standard game: stop before measuring a silent dump.
played=$(grep -cE '^[0-9]+ sound [a-z0-9]+ volume' "$WORK/trace.txt" || true)
echo "effects played: $played"
[ "$played" -gt 0 ] || { echo "the standard game played no effect"; exit 1; }
grep -oE "bull (right|top-step|spare|wrong|angry|pass|game-over)|time bonus|game over" "$WORK/trace.txt" |
  sort | uniq -c | tr '\n' ';'; echo
exec "$MKASSETS" --sound-report --dump "$DUMP" "$GAME_DIR"
