#!/usr/bin/env bash
# Runs the headless launcher from a script in a fresh suite and checks what it did:
#   - expect.txt: lines that must appear in the launcher's trace, in this order ("return:" lines in the trace of
#     the launcher the game started again through its menu button);
#   - expected.options.ini / expected.setup.ini: the files as the launcher must leave them;
#   - golden/*.png: the script's screenshots, compared exactly;
#   - expected.files: files of the game folder that must be there after the run ("!name": must not be).
# Players' records (*.rec) in the run folder are put in the game folder first.
# A run with game_script.txt plays the game (the headless build) when the launcher's Play is pressed; with
# return_script.txt the game's "Menu" starts the launcher again, which follows that script.
# A run with a file named one_program runs the launcher and the game as one program (as the browser does) instead,
# the one script driving both.
# ZORVEL_UPDATE_REPLAYS=1 rewrites the golden pictures, but only when every expected line was seen.
#   run_launcher.sh <hubbix-headless> <zorvel-headless> <game folder> <run folder> [<zorvel-suite-headless>]
set -euo pipefail
LAUNCHER=$1
GAME=$2
GAME_DIR=$3
RUN=$(cd "$4" && pwd)
ONE_PROGRAM=${5:-}
HERE=$(cd "$(dirname "$0")" && pwd)
source "$HERE/../golden/compare_pictures.sh"
WORK=$(mktemp -d /tmp/hubbix-run-XXXXXX)
trap '[ "${ZORVEL_KEEP_RUN:-0}" = 1 ] || rm -rf "$WORK"' EXIT

mkdir -p "$WORK/suite/Zorvel"
cp -r "$GAME_DIR"/. "$WORK/suite/Zorvel/"
rm -f "$WORK/suite/Zorvel/hiscore.dat" "$WORK/suite/Zorvel/lastgame.ini" "$WORK/suite/Zorvel/"player_*.rec
for record in "$RUN"/*.rec; do [ -e "$record" ] && cp "$record" "$WORK/suite/Zorvel/"; done
cp "$HERE/../replays/questions_mixed.txt" "$WORK/suite/Zorvel/Zorvel.txt"
printf '[setup]\r\nfullscreen=0\r\n' > "$WORK/suite/Zorvel/setup.ini"
if [ -f "$RUN/options.ini" ]; then cp "$RUN/options.ini" "$WORK/suite/options.ini"
else printf '[setup]\r\nmusic=Y\r\nSFX=Y\r\nplayerid=0\r\n[Player1]\r\nname=Ann\r\n' > "$WORK/suite/options.ini"; fi
if [ -f "$RUN/hiscore.txt" ]; then "$HERE/../replays/make_hiscore.sh" "$RUN/hiscore.txt" "$WORK/suite/Zorvel/hiscore.dat"; fi
[ -f "$RUN/lastgame.ini" ] && cp "$RUN/lastgame.ini" "$WORK/suite/Zorvel/lastgame.ini"
cp "$LAUNCHER" "$WORK/suite/Hubbix"
args=()
[ -f "$RUN/arguments" ] && read -r -a args < "$RUN/arguments"
if [ -f "$RUN/one_program" ]; then
  cp "$ONE_PROGRAM" "$WORK/suite/Hubbix"
  args=("$WORK/suite")
fi

chain=(ZORVEL_GAME="$GAME" ZORVEL_NO_LAUNCH=1)
[ -f "$RUN/game_script.txt" ] && chain+=(ZORVEL_GAME_SCRIPT="$RUN/game_script.txt" ZORVEL_GAME_TRACE="$WORK/game.trace")
[ -f "$RUN/return_script.txt" ] && chain+=(ZORVEL_NO_LAUNCH=0 ZORVEL_RETURN_SCRIPT="$RUN/return_script.txt"
                                            ZORVEL_RETURN_TRACE="$WORK/return.trace")
set +e
env ZORVEL_CLOCK=virtual ZORVEL_SCRIPT="$RUN/script.txt" ZORVEL_TRACE="$WORK/trace.txt" ZORVEL_TRACE_FRAMES=0 \
    "${chain[@]}" ZORVEL_MESSAGEBOX=stderr "$WORK/suite/Hubbix" "${args[@]}" > "$WORK/output.txt" 2>&1
code=$?
set -e
echo "exit $code" >> "$WORK/trace.txt"
# The launcher the game started again runs on its own; wait for it to end.
if [ -f "$RUN/return_script.txt" ]; then
  for _ in $(seq 1 300); do grep -qs "launcher \(quit\|closed\)" "$WORK/return.trace" && break; sleep 0.1; done
  sleep 0.2
fi

status=0
# Every expected line in order: a line is looked for after the one found before it.
check_order() {  # <trace> <lines>
  local trace=$1 lines=$2 at=0 line found
  while IFS= read -r line; do
    [ -z "$line" ] && continue
    found=$(awk -v from="$at" -v want="$line" 'NR > from && index($0, want) { print NR; exit }' "$trace" 2>/dev/null || true)
    if [ -z "$found" ]; then echo "missing, in order, in $(basename "$trace"): $line"; status=1; return; fi
    at=$found
  done <<< "$lines"
}
check_order "$WORK/trace.txt" "$(grep -v '^#' "$RUN/expect.txt" | grep -v '^return:' | grep -v '^game:' || true)"
if grep -q '^game:' "$RUN/expect.txt"; then
  check_order "$WORK/game.trace" "$(grep '^game:' "$RUN/expect.txt" | sed 's/^game: *//')"
fi
if grep -q '^return:' "$RUN/expect.txt"; then
  check_order "$WORK/return.trace" "$(grep '^return:' "$RUN/expect.txt" | sed 's/^return: *//')"
fi
for file in options.ini:suite/options.ini setup.ini:suite/Zorvel/setup.ini; do
  name=${file%%:*}
  [ -f "$RUN/expected.$name" ] || continue
  if ! diff -u --strip-trailing-cr "$RUN/expected.$name" "$WORK/${file#*:}"; then echo "$name differs"; status=1; fi
done

if [ -f "$RUN/expected.files" ]; then
  while IFS= read -r name; do
    [ -z "$name" ] && continue
    case "$name" in
      \#*) ;;
      !*) [ ! -e "$WORK/suite/Zorvel/${name#!}" ] || { echo "${name#!} should not be there"; status=1; } ;;
      *) [ -e "$WORK/suite/Zorvel/$name" ] || { echo "$name is missing"; status=1; } ;;
    esac
  done < "$RUN/expected.files"
fi

if [ "${ZORVEL_UPDATE_REPLAYS:-0}" = 1 ] && [ $status -eq 0 ]; then
  mkdir -p "$RUN/golden"
  for shot in $(cat "$RUN/script.txt" "$RUN/return_script.txt" 2>/dev/null | awk '$2 == "screenshot" { print $3 }'); do
    cp "$WORK/suite/Zorvel/$shot" "$RUN/golden/$shot"
  done
  echo "updated $(basename "$RUN")"
  exit 0
fi
compare_golden_pictures "$RUN/golden" "$WORK/suite/Zorvel" "hubbix-$(basename "$RUN")" || status=1
if [ $status -ne 0 ]; then
  echo "--- launcher trace ---"; grep -v '^[0-9]* \(frame\|sound\)' "$WORK/trace.txt" | head -80
  [ -f "$WORK/return.trace" ] && { echo "--- return trace ---"; grep launcher "$WORK/return.trace" | head -40; }
  [ -s "$WORK/output.txt" ] && { echo "--- program output ---"; cat "$WORK/output.txt"; }
fi
[ $status -eq 0 ] && echo "launcher run $(basename "$RUN"): trace, files and pictures as expected"
exit $status
