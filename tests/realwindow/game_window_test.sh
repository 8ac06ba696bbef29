#!/usr/bin/env bash
# A player's game in a real X server: the launcher starts the windowed game, the round buttons are clicked, the
# rules popup opens and closes, "New game" starts over, clicks with no hold are taken and Escape ends the program;
# screenshots show each step.
SUITE="$1"
source "$(dirname "$0")/xvfb_session.sh"

cp -r "$SUITE" "$WORK/suite"
rm -f "$WORK/suite/Zorvel/hiscore.dat"
cd "$WORK/suite"
ZORVEL_RECORD="$WORK/recorded.txt" ZORVEL_TRACE="$WORK/real.trace" ./Hubbix play >"$WORK/game.log" 2>&1 &
GAME_PID=$!
WIN=$(wait_for_window '^Zorvel - ') || fail "no game window (log: $(cat "$WORK/game.log"))"
sleep 1
title=$(xdotool getwindowname "$WIN")
[ "$title" = "Zorvel - Player" ] || fail "caption is '$title'"
xdotool windowfocus --sync "$WIN" || true

changed() { count_changed "$1" "$2" "$3"; }

screenshot "$WORK/question.png" "$WIN"
# The True button: the verdict and the explanation replace the statement.
click 268 535
sleep 1.5
screenshot "$WORK/verdict.png" "$WIN"
stamp=$(changed "$WORK/question.png" "$WORK/verdict.png" 120x40+340+250)
[ "$stamp" -gt 200 ] || fail "no verdict stamp after clicking True ($stamp pixels changed)"

# The text panel goes on to the next statement.
click 400 330
sleep 1
screenshot "$WORK/next.png" "$WIN"
text=$(changed "$WORK/verdict.png" "$WORK/next.png" 420x40+190+285)
[ "$text" -gt 100 ] || fail "the panel click did not bring the next statement ($text pixels changed)"

# Rules: a popup over the middle of the screen, closed by a click.
click 147 543
sleep 1
screenshot "$WORK/rules.png" "$WIN"
rules=$(changed "$WORK/next.png" "$WORK/rules.png" 400x300+200+150)
[ "$rules" -gt 20000 ] || fail "the rules popup did not show ($rules pixels changed)"
click 400 300
sleep 1
screenshot "$WORK/closed.png" "$WIN"
closed=$(changed "$WORK/rules.png" "$WORK/closed.png" 400x300+200+150)
[ "$closed" -gt 20000 ] || fail "the rules popup did not close ($closed pixels changed)"

# False, then New game: the score at the top right starts from 0 again.
click 532 535
sleep 1.5
click 52 543
sleep 1
screenshot "$WORK/newgame.png" "$WIN"
score=$(changed "$WORK/question.png" "$WORK/newgame.png" 136x34+650+10)
[ "$score" -eq 0 ] || fail "after New game the score does not read 0 as at the start ($score pixels differ)"

# Clicks whose press and release both arrive between two frames, as a touchpad's tap or a touch screen often
# sends them: True and False answer, the panel goes on, New game starts over. xdotool's click holds the button
# for 12 ms, about a frame, so the game is held while it clicks and both events wait for its next frame together.
GAME_WINDOW_PID=$(xdotool getwindowpid "$WIN")
tap() {
  xdotool mousemove --window "$WIN" "$1" "$2"
  sleep 0.05
  kill -STOP "$GAME_WINDOW_PID"
  xdotool click 1
  sleep 0.05
  kill -CONT "$GAME_WINDOW_PID"
}
count_in_trace() { grep -c " $1" "$WORK/real.trace" || true; }
games_before=$(count_in_trace "new game")
screenshot "$WORK/tap-before.png" "$WIN"
tap 268 535
sleep 1.5
screenshot "$WORK/tap-true.png" "$WIN"
tapped=$(changed "$WORK/tap-before.png" "$WORK/tap-true.png" 120x40+340+250)
[ "$tapped" -gt 200 ] || fail "a click with no hold on True was lost ($tapped pixels changed)"
tap 400 330
sleep 1
tap 532 535
sleep 1.5
[ "$(count_in_trace "answer false")" -ge 2 ] || fail "a click with no hold on False was lost"
tap 52 543
sleep 1
[ "$(count_in_trace "new game")" -eq $((games_before + 1)) ] || fail "a click with no hold on New game was lost"

escape_and_expect_clean_exit
# The recording replays headless, in virtual time, to the same game: the same questions, answers, states and scores.
rm -rf "$WORK/replay" && cp -r "$SUITE" "$WORK/replay" && rm -f "$WORK/replay/Zorvel/hiscore.dat"
(cd "$WORK/replay/Zorvel" && ZORVEL_CLOCK=virtual ZORVEL_SCRIPT="$WORK/recorded.txt" ZORVEL_TRACE="$WORK/replay.trace" \
  ./zorvel-headless "$WORK/replay" >"$WORK/replay.log" 2>&1) || fail "the replay failed: $(cat "$WORK/replay.log")"
game_lines() { grep -E ' (state|answer|question|new game|game over|hiscore|seed) ' "$1" | sed 's/^[0-9]* //'; }
game_lines "$WORK/real.trace" > "$WORK/real.game"
game_lines "$WORK/replay.trace" > "$WORK/replay.game"
[ "$(wc -l < "$WORK/real.game")" -gt 10 ] || fail "the real game's trace is too short"
diff -u "$WORK/real.game" "$WORK/replay.game" || fail "the headless replay of the recording played a different game"
echo "PASS: launcher started the game; verdict ($stamp px), next ($text px), rules ($rules px) and close, New game, clicks with no hold ($tapped px), Escape; the recording replays to the same game"
