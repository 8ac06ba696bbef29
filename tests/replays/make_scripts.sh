#!/usr/bin/env bash
# Writes the replays' input scripts. Times are the ticker's milliseconds; the game starts its first question at
# 10 ms. One question takes a second: answer at T, next at T + 700. The questions (questions_mixed.txt) are true
# and false, drawn at random from the script's seed, so a right or a wrong answer at T asks the game which
# statement it shows at T: the program is run headless up to T.
#   make_scripts.sh [zorvel-headless] [game folder]     (default: the default build's)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(cd ../.. && pwd)
PROGRAM=${1:-$ROOT/build/zorvel-headless}
GAME=${2:-$ROOT/build/suite/Zorvel}
WORK=$(mktemp -d /tmp/zorvel-scripts-XXXXXX)
trap 'rm -rf "$WORK"' EXIT
mkdir -p "$WORK/suite/Zorvel"
cp -r "$GAME"/. "$WORK/suite/Zorvel/"
rm -f "$WORK/suite/Zorvel/hiscore.dat"
cp questions_mixed.txt "$WORK/suite/Zorvel/Zorvel.txt"
printf '[setup]\r\nmusic=Y\r\nSFX=Y\r\nplayerid=0\r\n[Player1]\r\nname=Ann\r\n' > "$WORK/suite/options.ini"

# Each generator below writes the events of one replay to $EVENTS, in any order.
EVENTS=$WORK/events
begin() { printf 'zorvel-script 1\nseed %d\n' "$1" > "$EVENTS"; }
# Events in time order (the generators may interleave); the order of equal times is kept.
in_time_order() { awk 'NR <= 2 { print; next } { print | "sort -s -n -k1,1" }'; }
finish() { in_time_order < "$EVENTS" > "$1/script.txt"; }

click() { { echo "$1 move $2 $3"; echo "$1 ldown $2 $3"; echo "$(($1 + 20)) lup $2 $3"; } >> "$EVENTS"; }
answer_true() { click "$1" 232 499; }
answer_false() { click "$1" 496 499; }
pass() { click "$1" 370 499; }
next() { click "$1" 400 330; }
button() {  # name time
  case "$1" in
    newgame) click "$2" 30 540 ;; info) click "$2" 124 540 ;; menu) click "$2" 630 540 ;; exit) click "$2" 724 540 ;;
  esac
}
at() { echo "$*" >> "$EVENTS"; }
# TRUE or FALSE: the answer of the statement on screen at time T of the events so far.
shown_at() {
  { cat "$EVENTS"; echo "$1 keyup ESCAPE"; } | in_time_order > "$WORK/probe.txt"
  (cd "$WORK/suite/Zorvel" && env ZORVEL_CLOCK=virtual ZORVEL_SCRIPT="$WORK/probe.txt" ZORVEL_TRACE="$WORK/probe.trace" \
     ZORVEL_TRACE_FRAMES=0 ZORVEL_NO_LAUNCH=1 ZORVEL_MESSAGEBOX=stderr "$PROGRAM" "$WORK/suite" > /dev/null 2>&1) || true
  grep ' question "' "$WORK/probe.trace" | tail -n 1 | awk '{ print $NF }'
}
right() { if [ "$(shown_at "$1")" = TRUE ]; then answer_true "$1"; else answer_false "$1"; fi; }
wrong() { if [ "$(shown_at "$1")" = TRUE ]; then answer_false "$1"; else answer_true "$1"; fi; }

# Twelve right answers: up the whole ladder to step 9 and beyond, a time bonus after every third (capped at 180);
# then the clock runs out and the result enters a fresh hall of fame.
begin 11
t=500
for _ in $(seq 1 12); do right $t; next $((t + 700)); t=$((t + 1000)); done
at "9300 screenshot question_top_step.png"
at "10180 screenshot verdict_top_step.png"
at "190000 screenshot ladder_done.png"
at "200000 keyup ESCAPE"
finish ladder_climb

# Wrong answers with a streak of 0, 1 and 2 (the bull shakes its head; after two right it fumes).
begin 12
wrong 500; next 1200
right 1500; next 2200; wrong 2500; next 3200
right 3500; next 4200; right 4500; next 5200; wrong 5500; next 6200
at "7000 keyup ESCAPE"
finish wrong_streaks

# Passes keep the ladder and the score but clear the streak; the explanation leaves by itself after 10 s; "exit".
begin 13
pass 500; next 1200
right 1500; next 2200; pass 2500; next 3200
right 3500; next 4200; right 4500
button exit 16000
finish passes_and_exit

# A time bonus below the cap (40 s in), then "newgame" in the middle of a game, then Escape.
begin 14
t=40000
for _ in 1 2 3; do right $t; next $((t + 700)); t=$((t + 1000)); done
button newgame 45000
right 46000
at "47000 keyup ESCAPE"
finish bonus_below_cap_and_newgame

# The rules pause the clock until the next question; then "menu" leaves for the launcher.
begin 15
button info 2000
at "4000 screenshot rules.png"
click 9000 400 300
right 12000; next 12700
button menu 14000
finish rules_pause_and_menu

# Escape inside the rules popup ends the program through the popup's loop.
begin 16
button info 1000
at "2000 keydown ESCAPE"
at "2010 keyup ESCAPE"
finish escape_in_popup

# Nothing answered: score 0 never enters the hall of fame; game over, its summary, then a new game, then "exit".
begin 17
at "181000 screenshot summary.png"
at "184500 screenshot game_over.png"
button newgame 185000
right 186000
button exit 190000
finish zero_score_game_over

# Keyboard play: T, F, P and Space act as clicks on True, False, Pass and the text panel; Left as True.
begin 20
at "500 keydown T"; at "510 keyup T"; at "1200 keydown SPACE"; at "1210 keyup SPACE"
at "1500 keydown F"; at "1510 keyup F"; at "2200 keydown RETURN"; at "2210 keyup RETURN"
at "2500 keydown P"; at "2510 keyup P"; at "3200 keydown SPACE"; at "3210 keyup SPACE"
at "3500 keydown LEFT"; at "3510 keyup LEFT"
at "5000 keyup ESCAPE"
finish keyboard_play

# Three right answers (875 points) against a full, write-protected hall of fame of 874 (save_refused/hiscore.txt
# and save_refused/readonly): the file stays as it was and the notice says the place could not be saved.
begin 19
t=500
for _ in 1 2 3; do right $t; next $((t + 700)); t=$((t + 1000)); done
at "183500 screenshot save_refused.png"
# The summary after the notice stays 3.5 s before the game-over picture.
at "190000 keyup ESCAPE"
finish save_refused

# An empty question file: a notice in the text panel and an idle game instead of an endless draw; "newgame"
# tries again; Escape ends it.
begin 21
at "1000 screenshot no_questions.png"
button newgame 2000
at "3000 keyup ESCAPE"
finish no_questions
