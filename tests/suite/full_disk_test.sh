#!/usr/bin/env bash
# A full disk under the suite: a game whose score enters the hall of fame, and a new player added from the command
# line, find no room to save. Nothing already there may be lost or cut short, no temporary may be left behind, the
# game must say its place could not be saved and play on, the launcher must say why the player was not added; once
# there is room again, both save as usual. Needs a small filesystem of its own (a tmpfs, so run as root); without
# one the test is skipped.
#   full_disk_test.sh <zorvel-headless> <hubbix-headless> <game folder> <replays folder>
set -euo pipefail
GAME=$(realpath "$1")
LAUNCHER=$(realpath "$2")
GAME_DIR=$(realpath "$3")
REPLAYS=$(realpath "$4")
WORK=$(mktemp -d /tmp/zorvel-fulldisk-XXXXXX)
DISK="$WORK/disk"
mkdir -p "$DISK"
cleanup() { [ "${KEEP:-0}" = 1 ] && return; umount "$DISK" 2>/dev/null || true; rm -rf "$WORK"; }
trap cleanup EXIT
if ! mount -t tmpfs -o size=64m zorvel-full-disk "$DISK" 2>/dev/null; then
  echo "skipped: cannot mount a small filesystem here (needs root)"
  exit 77
fi
fail() { echo "FAIL: $*"; [ -f "$WORK/trace.txt" ] && grep -v '^[0-9]* \(frame\|sound\)' "$WORK/trace.txt" | tail -40; exit 1; }

SUITE="$DISK/suite"
mkdir -p "$SUITE/Zorvel"
# The game's data without its programs, which run from the build.
for item in "$GAME_DIR"/*; do
  case "$(basename "$item")" in Zorvel | zorvel-headless | hiscore.dat | player_*.rec | lastgame.ini) ;; *) cp -r "$item" "$SUITE/Zorvel/" ;; esac
done
# Every statement true and every answer True: whatever the draw, which leaves out what the player has seen, the
# game scores 125 + 250 + 500.
for i in $(seq 1 30); do printf 'Statement %d is true.\r\nTRUE\r\nBecause it is.\r\n\r\n' "$i"; done > "$SUITE/Zorvel/Zorvel.txt"
{
  echo "zorvel-script 1"; echo "seed 19"
  for t in 500 1500 2500; do
    echo "$t move 232 499"; echo "$t ldown 232 499"; echo "$((t + 20)) lup 232 499"
    echo "$((t + 700)) move 400 330"; echo "$((t + 700)) ldown 400 330"; echo "$((t + 720)) lup 400 330"
  done
  echo "190000 keyup ESCAPE"
} > "$WORK/script.txt"
cp "$LAUNCHER" "$SUITE/Hubbix"
printf '[setup]\r\nmusic=Y\r\nSFX=Y\r\nplayerid=0\r\n[Player1]\r\nname=Ann\r\n' > "$SUITE/options.ini"
# A full table whose last places a short game beats.
"$REPLAYS/make_hiscore.sh" "$REPLAYS/save_refused/hiscore.txt" "$SUITE/Zorvel/hiscore.dat"

play() {  # <trace>: the short game that takes first place
  (cd "$SUITE/Zorvel" && env ZORVEL_CLOCK=virtual ZORVEL_SCRIPT="$WORK/script.txt" \
     ZORVEL_TRACE="$1" ZORVEL_NO_LAUNCH=1 ZORVEL_MESSAGEBOX=stderr "$GAME" "$SUITE" > "$WORK/output.txt" 2>&1)
}

# With room: the first game saves its place, the player's record and the last result.
play "$WORK/first.txt" || fail "the first game ended with $?"
grep -q 'hiscore write "Ann:::Y" 875$' "$WORK/first.txt" || fail "the first game did not save its place"
record=$(ls "$SUITE/Zorvel"/player_*.rec 2>/dev/null | head -n1)
[ -n "$record" ] || fail "the first game left no player record"
mkdir "$WORK/before"
cp "$SUITE/Zorvel/hiscore.dat" "$record" "$SUITE/options.ini" "$WORK/before/"

# Fill every last block.
dd if=/dev/zero of="$DISK/filler" bs=4096 > /dev/null 2>&1 || true
avail=$(df --output=avail -k "$DISK" | tail -n1 | tr -d ' ')
[ "$avail" -eq 0 ] || fail "the disk still has $avail KB free"

# The game: the same score again (below the first, which came before it), with no room to keep it.
code=0
play "$WORK/trace.txt" || code=$?
[ "$code" -eq 0 ] || fail "the game on a full disk ended with $code: $(cat "$WORK/output.txt")"
grep -q 'hiscore write "Ann:::Y" 875 failed' "$WORK/trace.txt" || fail "the failed save was not noticed"
grep -q 'popup open "save-failed"' "$WORK/trace.txt" || fail "the player was not told the place was not saved"
grep -q 'summary score 875 place 2 not saved' "$WORK/trace.txt" || fail "the summary claims a place it could not keep"
grep -q "player record $(basename "$record") not written" "$WORK/trace.txt" || fail "the record's failed save went unsaid"
grep -q 'popup open "game-over"' "$WORK/trace.txt" || fail "the game did not go on to its game-over picture"
cmp -s "$WORK/before/hiscore.dat" "$SUITE/Zorvel/hiscore.dat" || fail "hiscore.dat changed on a full disk"
cmp -s "$WORK/before/$(basename "$record")" "$record" || fail "the player record changed on a full disk"

# The launcher: a new player finds no room; the roster stays as it was and the message says so.
code=0
(cd "$SUITE" && ./Hubbix add Zed > "$WORK/add.txt" 2>&1) || code=$?
[ "$code" -ne 0 ] || fail "adding a player on a full disk reported success: $(cat "$WORK/add.txt")"
grep -qi "options.ini" "$WORK/add.txt" || fail "the message does not name the file: $(cat "$WORK/add.txt")"
cmp -s "$WORK/before/options.ini" "$SUITE/options.ini" || fail "options.ini changed on a full disk"

leftovers=$(find "$SUITE" -name '*.tmp*' | head -n3)
[ -z "$leftovers" ] || fail "temporaries left behind: $leftovers"

# Room again: both save as usual.
rm -f "$DISK/filler"
(cd "$SUITE" && ./Hubbix add Zed > "$WORK/add.txt" 2>&1) || fail "adding with room failed: $(cat "$WORK/add.txt")"
grep -q '^name=Zed' "$SUITE/options.ini" || fail "Zed is not in options.ini"
echo "full disk: nothing lost, nothing left behind, the player told; saving works again once there is room"
