#!/usr/bin/env bash
# Writes the replays' input scripts. Times are the ticker's milliseconds; the game starts its first question at
# 10 ms. One question takes a second: answer at T, next at T + 700. All questions of questions_true.txt are true.
set -euo pipefail
cd "$(dirname "$0")"

click() { echo "$1 move $2 $3"; echo "$1 ldown $2 $3"; echo "$(($1 + 20)) lup $2 $3"; }
answer_true() { click "$1" 232 499; }
answer_false() { click "$1" 496 499; }
pass() { click "$1" 370 499; }
next() { click "$1" 400 330; }
button() {  # name time
  case "$1" in
    newgame) click "$2" 30 540 ;; info) click "$2" 124 540 ;; menu) click "$2" 630 540 ;; exit) click "$2" 724 540 ;;
  esac
}
header() { printf 'zorvel-script 1\nseed %d\n' "$1"; }
# Events in time order (the generators above may interleave); the order of equal times is kept.
in_time_order() { awk 'NR <= 2 { print; next } { print | "sort -s -n -k1,1" }'; }

# Twelve right answers: up the whole ladder to step 9 and beyond, a time bonus after every third (capped at 180);
# then the clock runs out and the result enters a fresh hall of fame.
{
  header 11
  t=500
  for _ in $(seq 1 12); do answer_true $t; next $((t + 700)); t=$((t + 1000)); done
  echo "9300 screenshot question_top_step.png"
  echo "10180 screenshot verdict_top_step.png"
  echo "190000 screenshot ladder_done.png"
  echo "200000 keyup ESCAPE"
} | in_time_order > ladder_climb/script.txt

# Wrong answers with a streak of 0, 1 and 2 (the bull shakes its head; after two right it fumes).
{
  header 12
  answer_false 500; next 1200
  answer_true 1500; next 2200; answer_false 2500; next 3200
  answer_true 3500; next 4200; answer_true 4500; next 5200; answer_false 5500; next 6200
  echo "7000 keyup ESCAPE"
} | in_time_order > wrong_streaks/script.txt

# Passes keep the ladder and the score but clear the streak; the explanation leaves by itself after 10 s; "exit".
{
  header 13
  pass 500; next 1200
  answer_true 1500; next 2200; pass 2500; next 3200
  answer_true 3500; next 4200; answer_true 4500
  button exit 16000
} | in_time_order > passes_and_exit/script.txt

# A time bonus below the cap (40 s in), then "newgame" in the middle of a game, then Escape.
{
  header 14
  t=40000
  for _ in 1 2 3; do answer_true $t; next $((t + 700)); t=$((t + 1000)); done
  button newgame 45000
  answer_true 46000
  echo "47000 keyup ESCAPE"
} | in_time_order > bonus_below_cap_and_newgame/script.txt

# The rules pause the clock until the next question; then "menu" leaves for the launcher.
{
  header 15
  button info 2000
  echo "4000 screenshot rules.png"
  click 9000 400 300
  answer_true 12000; next 12700
  button menu 14000
} | in_time_order > rules_pause_and_menu/script.txt

# Escape inside the rules popup ends the program through the popup's loop.
{
  header 16
  button info 1000
  echo "2000 keydown ESCAPE"
  echo "2010 keyup ESCAPE"
} | in_time_order > escape_in_popup/script.txt

# Nothing answered: score 0 never enters the hall of fame; game over, then a new game, then "exit".
{
  header 17
  echo "181000 screenshot game_over.png"
  button newgame 185000
  answer_true 186000
  button exit 190000
} | in_time_order > zero_score_game_over/script.txt

# Three right (875 points) against a full table of 875: a tie does not enter, and the file stays as it was.
{
  header 18
  t=500
  for _ in 1 2 3; do answer_true $t; next $((t + 700)); t=$((t + 1000)); done
  echo "185000 keyup ESCAPE"
} | in_time_order > tie_full_table/script.txt

# The same 875 against a full table of 874: it enters at the top and the last entry drops out.
cp tie_full_table/script.txt beats_full_table/script.txt
sed -i 's/^seed 18$/seed 19/' beats_full_table/script.txt

# The same record against a write-protected hiscore.dat (save_refused/readonly): the file stays as it was and
# the notice says the record could not be saved.
sed 's/^185000 keyup ESCAPE$/183500 screenshot save_refused.png\n185000 keyup ESCAPE/' beats_full_table/script.txt \
  > save_refused/script.txt

# Keyboard play: T, F, P and Space act as clicks on True, False, Pass and the text panel.
{
  header 20
  echo "500 keydown T"; echo "510 keyup T"; echo "1200 keydown SPACE"; echo "1210 keyup SPACE"
  echo "1500 keydown F"; echo "1510 keyup F"; echo "2200 keydown RETURN"; echo "2210 keyup RETURN"
  echo "2500 keydown P"; echo "2510 keyup P"; echo "3200 keydown SPACE"; echo "3210 keyup SPACE"
  echo "3500 keydown LEFT"; echo "3510 keyup LEFT"
  echo "5000 keyup ESCAPE"
} | in_time_order > keyboard_play/script.txt

# An empty question file: a notice in the text panel and an idle game instead of an endless draw; "newgame"
# tries again; Escape ends it.
{
  header 21
  echo "1000 screenshot no_questions.png"
  button newgame 2000
  echo "3000 keyup ESCAPE"
} | in_time_order > no_questions/script.txt
