#!/usr/bin/env bash
# Installs the build into a fresh prefix, makes the whole prefix read-only and plays a headless game through the
# installed launcher: the players, the settings and the hall of fame must land in the XDG folders of a scratch
# home, and nothing may be written into the prefix.
#   installed_game_test.sh <build folder> <zorvel-headless>
set -euo pipefail
BUILD=$1
HEADLESS=$2
WORK=$(mktemp -d /tmp/zorvel-install-XXXXXX)
[ -n "${KEEP:-}" ] || trap 'chmod -R u+w "$WORK"; rm -rf "$WORK"' EXIT
fail() { echo "FAIL: $*"; exit 1; }

cmake --install "$BUILD" --prefix "$WORK/prefix" > "$WORK/install.log"
PREFIX=$WORK/prefix
for f in bin/zorvel bin/zorvel-game bin/zorvel-check share/zorvel/options.ini share/zorvel/Zorvel/setup.ini \
         share/zorvel/Zorvel/Zorvel.txt share/zorvel/Zorvel/background.bmp share/zorvel/Zorvel/sounds/music.mp3 \
         share/zorvel/Zorvel/title/HowToPlay.bmp share/applications/org.zorvel.Zorvel.desktop \
         share/metainfo/org.zorvel.Zorvel.metainfo.xml share/man/man6/zorvel.6 \
         share/icons/hicolor/16x16/apps/zorvel.png share/icons/hicolor/256x256/apps/zorvel.png; do
  [ -e "$PREFIX/$f" ] || fail "$f was not installed"
done
[ "$(readlink -f "$PREFIX/share/zorvel/Hubbix")" = "$(readlink -f "$PREFIX/bin/zorvel")" ] ||
  fail "share/zorvel/Hubbix does not lead back to the launcher"
# Nothing of the build's own play may be shipped.
[ ! -e "$PREFIX/share/zorvel/Zorvel/hiscore.dat" ] || fail "a hall of fame was installed"
chmod -R a-w "$PREFIX"
listing() { find "$PREFIX" -printf '%p %s %T@\n' | sort; }
listing > "$WORK/prefix.before"

export HOME=$WORK/home
unset XDG_CONFIG_HOME XDG_DATA_HOME
mkdir -p "$HOME"
ZORVEL=$PREFIX/bin/zorvel

"$ZORVEL" help > "$WORK/help.txt"
grep -q "zorvel add <name>" "$WORK/help.txt" || fail "help does not speak of the installed command"
! grep -q "Hubbix" "$WORK/help.txt" || fail "the installed help speaks of Hubbix"
grep -q '^StartupWMClass=Zorvel$' "$PREFIX/share/applications/org.zorvel.Zorvel.desktop" ||
  fail "the desktop entry does not name the window's class"
# A name with accents, drawn by the installed game's font, then Ann.
"$ZORVEL" add "$(printf 'Zo\xc3\xab')" > /dev/null || fail "the installed launcher refuses Zoë"
"$ZORVEL" add Ann > /dev/null
grep -q '^name=Ann' "$HOME/.config/zorvel/options.ini" || fail "the new player is not in ~/.config/zorvel/options.ini"
grep -q '^name=Player' "$HOME/.config/zorvel/options.ini" || fail "options.ini was not seeded from the defaults"
grep -q '^fullscreen=0' "$HOME/.config/zorvel/setup.ini" || fail "setup.ini was not seeded from the defaults"
"$ZORVEL" music off > /dev/null
"$ZORVEL" players | grep -q '\* 3  Ann' || fail "Ann is not the selected player"

# A whole game: True then False on every question for a minute, then the clock runs out. Time bonuses can lift
# the clock back to its 180 seconds as late as the last answer, so the game is left alone for four more minutes:
# it ends on the clock whatever the shipped questions are and in whatever order they come.
{
  printf 'zorvel-script 1\nseed 21\n'
  for i in $(seq 0 29); do
    t=$((500 + i * 2000)); x=232; [ $((i % 2)) = 1 ] && x=496
    printf '%d move %d 499\n%d ldown %d 499\n%d lup %d 499\n' $t $x $t $x $((t + 20)) $x
    t=$((t + 700))
    printf '%d move 400 330\n%d ldown 400 330\n%d lup 400 330\n' $t $t $((t + 20))
  done
  printf '300000 keyup ESCAPE\n'
} > "$WORK/script.txt"
play() {  # trace file; the installed launcher starts the headless game
  ZORVEL_GAME=$HEADLESS ZORVEL_CLOCK=virtual ZORVEL_SCRIPT=$WORK/script.txt ZORVEL_TRACE=$1 \
    ZORVEL_NO_LAUNCH=1 ZORVEL_MESSAGEBOX=stderr "$ZORVEL" play > "$WORK/game.txt" 2>&1 ||
    { cat "$WORK/game.txt"; fail "the game failed"; }
}
play "$WORK/trace.txt"
grep -q '^[0-9]* hiscore write "Ann:::Y" [1-9]' "$WORK/trace.txt" ||
  { tail "$WORK/trace.txt"; fail "no result entered the hall of fame"; }
TABLE=$HOME/.local/share/zorvel/hiscore.dat
[ -f "$TABLE" ] || fail "no hall of fame in ~/.local/share/zorvel"
[ "$(stat -c %s "$TABLE")" = 5204 ] || fail "the hall of fame is $(stat -c %s "$TABLE") bytes, not 5204"
# The first entry: a 256-byte player line after the 4-byte count, then its score.
[ "$(dd if="$TABLE" bs=1 skip=4 count=8 2>/dev/null | tr -d '\0')" = "Ann:::Y" ] || fail "the first entry is not Ann's"
[ "$(od -An -tu4 -N4 -j260 "$TABLE" | tr -d ' ')" != 0 ] || fail "the first entry has no score"
# The game read the player's own options (music off) rather than the installed ones.
grep -q 'mci "open' "$WORK/trace.txt" && fail "music was opened although the player switched it off"
listing | diff "$WORK/prefix.before" - || fail "something was written into the prefix"

# XDG_DATA_HOME and XDG_CONFIG_HOME are honoured; a second game finds the first game's table there.
export XDG_DATA_HOME=$WORK/data XDG_CONFIG_HOME=$WORK/config
"$ZORVEL" add Bob > /dev/null
grep -q '^name=Bob' "$WORK/config/zorvel/options.ini" || fail "XDG_CONFIG_HOME was not used"
play "$WORK/trace2.txt"
[ "$(dd if="$WORK/data/zorvel/hiscore.dat" bs=1 skip=4 count=8 2>/dev/null | tr -d '\0')" = "Bob:::Y" ] ||
  fail "XDG_DATA_HOME did not receive Bob's table"

# An install its user may write to (an administrator's, a prefix of one's own) is still an install: its files are the
# defaults every new player copies, so nothing may be written there either.
WRITABLE=$WORK/writable
cmake --install "$BUILD" --prefix "$WRITABLE" > "$WORK/install2.log"
cp "$HEADLESS" "$WRITABLE/bin/zorvel-game"  # the headless game in the installed game's place
chmod -R u+w "$WRITABLE"                      # installed read-only; this one its user may write to
find "$WRITABLE" -printf '%p %s %T@\n' | sort > "$WORK/writable.before"
export XDG_DATA_HOME=$WORK/data3 XDG_CONFIG_HOME=$WORK/config3
"$WRITABLE/bin/zorvel" add Cy > /dev/null
HEADLESS="$WRITABLE/bin/zorvel-game" ZORVEL="$WRITABLE/bin/zorvel" play "$WORK/trace3.txt"
grep -q '^name=Cy' "$WORK/config3/zorvel/options.ini" || fail "a writable install kept the player in its own folder"
[ -f "$WORK/data3/zorvel/hiscore.dat" ] || fail "a writable install kept the hall of fame in its own folder"
find "$WRITABLE" -printf '%p %s %T@\n' | sort | diff "$WORK/writable.before" - ||
  fail "something was written into a writable install"
echo "installed game: players, settings and hall of fame kept in the XDG folders"
