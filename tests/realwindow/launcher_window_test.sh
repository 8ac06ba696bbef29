#!/usr/bin/env bash
# The launcher in a real X server: its window opens, a typed name appears in the field and joins the players,
# Play starts the game as that player (the launcher's window gone), and the game's "Menu" brings the launcher
# back on the hall of fame. Window titles are checked with xdotool.
SUITE="$1"
source "$(dirname "$0")/xvfb_session.sh"

cp -r "$SUITE" "$WORK/suite"
rm -f "$WORK/suite/Zorvel/hiscore.dat" "$WORK/suite/Zorvel/lastgame.ini"
printf '[setup]\nfullscreen=0\n' > "$WORK/suite/Zorvel/setup.ini"
cd "$WORK/suite"
ZORVEL_TRACE="$WORK/launcher.trace" ./Hubbix >"$WORK/game.log" 2>&1 &
GAME_PID=$!
WIN=$(wait_for_window '^Hubbix$') || fail "no launcher window (log: $(cat "$WORK/game.log"))"
sleep 1
xdotool windowfocus --sync "$WIN" || true
CLICK_SETTLE=0.2

screenshot "$WORK/empty.png" "$WIN"
click 400 184
xdotool type --delay 60 "Kim"
sleep 0.5
screenshot "$WORK/typed.png" "$WIN"
typed=$(count_changed "$WORK/empty.png" "$WORK/typed.png" 330x30+292+169)
[ "$typed" -gt 60 ] || fail "the typed name did not appear in the field ($typed pixels changed)"
xdotool key --window "$WIN" Return
sleep 0.5
grep -q '^name=Kim' options.ini || fail "Kim is not in options.ini: $(cat options.ini)"
grep -q 'launcher add 2 Kim' "$WORK/launcher.trace" || fail "no add in the trace: $(cat "$WORK/launcher.trace")"

# Play: the launcher's window closes and the game's opens, captioned with the new player.
click 134 159
GAME=$(wait_for_window '^Zorvel - Kim$') || fail "no game window for Kim (log: $(cat "$WORK/game.log"))"
xdotool search --name '^Hubbix$' >/dev/null 2>&1 && fail "the launcher's window stayed open beside the game"
sleep 1
xdotool windowfocus --sync "$GAME" || true
# The game's Menu button (clicked: its key asks first during a game) starts the launcher again and ends the game.
WIN=$GAME
click 630 540
BACK=$(wait_for_window '^Hubbix$') || fail "the launcher did not come back after Menu"
for _ in $(seq 1 50); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$GAME_PID" 2>/dev/null && fail "the game did not end after Menu"
GAME_PID=$(xdotool getwindowpid "$BACK")
sleep 1
screenshot "$WORK/back.png" "$BACK"
# The hall of fame is open, with the game's result (no answers: 0 points, so no place) and no mark: the trace
# file passed from the launcher to the game and back now holds the returned launcher's lines.
grep -q 'launcher page halloffame' "$WORK/launcher.trace" ||
  fail "the launcher did not open on the hall of fame: $(grep launcher "$WORK/launcher.trace" | head)"
[ "$(count_changed "$WORK/typed.png" "$WORK/back.png" 500x440+270+110)" -gt 2000 ] ||
  fail "the returned launcher's panel looks like the players page"
# Quit with the keys: four steps from Play.
WIN=$BACK
xdotool windowfocus --sync "$WIN" || true
xdotool key --window "$WIN" Tab Tab Tab Tab Return
for _ in $(seq 1 50); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
kill -0 "$GAME_PID" 2>/dev/null && fail "Quit did not end the launcher"
GAME_PID=""
[ -n "${ZORVEL_SHOTS:-}" ] && cp "$WORK"/*.png "$ZORVEL_SHOTS"/
echo "launcher window: typed name shown and stored, game started as Kim, Menu came back to the hall of fame"
