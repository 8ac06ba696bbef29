#!/usr/bin/env bash
# Writes standard_game.txt: a whole game that meets every sound moment of the game over the music (right,
# wrong, wrong after two right, pass, the top step, time bonuses), then lets the clock run out past a restart
# of the music, and leaves from the game-over screen. One question a second, as in the replays.
set -euo pipefail
cd "$(dirname "$0")"
click() { echo "$1 move $2 $3"; echo "$1 ldown $2 $3"; echo "$(($1 + 20)) lup $2 $3"; }
{
  printf 'zorvel-script 1\nseed 29\n'
  t=500
  # T right, F wrong, P pass; after two rights a wrong makes the bull angry; ten rights in a row reach the top.
  for a in T F T T F P T P F T T T T T T T T T T T T F P T T F T P; do
    case $a in
      T) click $t 232 499 ;; F) click $t 496 499 ;; P) click $t 370 499 ;;
    esac
    click $((t + 700)) 400 330
    t=$((t + 1000))
  done
  echo "240000 keyup ESCAPE"
  click 241000 724 540
} > standard_game.txt
