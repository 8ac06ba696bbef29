#!/usr/bin/env bash
# Every button answers a click at its visible position, whatever the window: 800 x 600, resized to 1000 x 750 and
# 400 x 300, full screen and borderless, on a screen of the given size. Positions are computed from the window's
# real size (the picture is scaled evenly and centred); the game's trace says what each click did. Clicks on the
# bars beside a full-screen picture must do nothing, and a held key must answer only once.
# Usage: window_modes_test.sh GAME SUITE WxH [MODE...]
GAME="$1"
SUITE="$2"
export XVFB_SCREEN="$3"
shift 3
MODES=("$@")
[ ${#MODES[@]} -gt 0 ] || MODES=(window800 window1000 window400 fullscreen borderless)
source "$(dirname "$0")/xvfb_session.sh"

TRACE="$WORK/trace.txt"
# Waits (up to 20 s: sanitizer builds are slow) until the trace holds at least N lines matching a pattern: wait_lines PATTERN N
count_lines() {
  local n
  n=$(grep -cE "$1" "$TRACE" 2>/dev/null) || true
  echo "${n:-0}"
}
wait_lines() {
  for _ in $(seq 1 200); do
    [ "$(count_lines "$1")" -ge "$2" ] && return 0
    sleep 0.1
  done
  fail "$MODE: waited for $2 trace lines matching '$1', saw $(count_lines "$1"); last lines: $(tail -n 5 "$TRACE")"
}

# The picture's place in the window: sets SCALE, OFFX, OFFY from the window's size.
measure() {
  local geometry="" id
  # Going full screen may replace the window the first search found: look again when it is gone.
  for _ in $(seq 1 50); do
    geometry=$(xdotool getwindowgeometry "$WIN" 2>/dev/null | awk '/Geometry/ {print $2}') || true
    [ -n "$geometry" ] && break
    for id in $(xdotool search --name '^Zorvel' 2>/dev/null || true); do
      xdotool getwindowgeometry "$id" >/dev/null 2>&1 && WIN=$id
    done
    sleep 0.1
  done
  [ -n "$geometry" ] || fail "$MODE: the game's window cannot be measured"
  WIN_W=${geometry%x*}
  WIN_H=${geometry#*x}
  read -r SCALE OFFX OFFY < <(awk -v w="$WIN_W" -v h="$WIN_H" 'BEGIN {
    s = w / 800; if (h / 600 < s) s = h / 600
    printf "%.6f %.3f %.3f\n", s, (w - 800 * s) / 2, (h - 600 * s) / 2 }')
}
# Clicks the picture pixel (x, y) at the window position that shows it, holding the button as a person would.
click_picture() {
  local wx wy
  read -r wx wy < <(awk -v x="$1" -v y="$2" -v s="$SCALE" -v ox="$OFFX" -v oy="$OFFY" \
    'BEGIN { printf "%d %d\n", ox + (x + 0.5) * s, oy + (y + 0.5) * s }')
  click_window "$wx" "$wy"
}
# The game reads the buttons once a frame and a press and release between two frames are lost, so hold the
# button long enough for a slow (sanitizer) build to see it.
click_window() {
  xdotool mousemove --window "$WIN" "$1" "$2"
  sleep 0.05
  xdotool mousedown 1
  sleep 0.25
  xdotool mouseup 1
}

# Button middles in the picture.
TRUE_XY="268 535"; FALSE_XY="532 535"; PASS_XY="400 529"; PANEL_XY="397 328"
NEWGAME_XY="53 543"; INFO_XY="147 543"; EXIT_XY="747 543"

answer_and_continue() {  # answer_and_continue BUTTON_XY TRACE_WORD ROUND
  local round=$3 before
  before=$(count_lines " answer $2\$")
  click_picture $1
  wait_lines " answer $2\$" $((before + 1))
  wait_lines " state 23 " "$round"
  click_picture $PANEL_XY
  wait_lines " state 21 " $((round + 1))
}

# Holding T through the next statement answers once: the keyboard's repeats are not fresh presses.
hold_key_answers_once() {
  local answers rounds shown
  answers=$(count_lines ' answer ')
  rounds=$(count_lines ' state 21 ')
  shown=$(count_lines ' state 23 ')
  xdotool keydown --window "$WIN" t
  wait_lines ' answer ' $((answers + 1))
  wait_lines ' state 23 ' $((shown + 1))
  sleep 0.7
  # The mouse goes on to the next statement: another key would end the keyboard's repeating.
  click_picture $PANEL_XY
  wait_lines ' state 21 ' $((rounds + 1))
  sleep 0.8
  xdotool keyup --window "$WIN" t
  sleep 0.2
  [ "$(count_lines ' answer ')" -eq $((answers + 1)) ] || fail "$MODE: holding T answered more than once: $(grep ' answer ' "$TRACE" | tail -n 3)"
}

# Alt+Enter (with a window manager): full screen, where the buttons still answer at their visible places, and back to the window;
# setup.ini is left as it was.
wait_for_size() {
  for _ in $(seq 1 50); do
    measure
    [ "${WIN_W}x${WIN_H}" = "$1" ] && return 0
    sleep 0.1
  done
  fail "$MODE: after Alt+Enter the window is ${WIN_W}x${WIN_H}, not $1: $(cat $WORK/game.log)"
}
alt_enter_to_full_screen_and_back() {
  local setup answers
  setup=$(cat "$WORK/suite/Zorvel/setup.ini")
  answers=$(count_lines ' answer ')
  xdotool key alt+Return
  wait_for_size "$XVFB_SCREEN"
  sleep 1  # the game hears of the new size a moment after the window manager has made it
  answer_and_continue "$FALSE_XY" false 4
  [ "$(count_lines ' answer ')" -eq $((answers + 1)) ] || fail "$MODE: Alt+Enter itself acted in the game"
  [ -n "${SHOTS:-}" ] && screenshot "$SHOTS/alt-enter-${XVFB_SCREEN}.png" root
  xdotool key alt+Return
  wait_for_size 800x600
  sleep 1
  [ "$(cat "$WORK/suite/Zorvel/setup.ini")" = "$setup" ] || fail "$MODE: Alt+Enter rewrote setup.ini"
}

run_mode() {
  MODE=$1
  rm -rf "$WORK/suite" && cp -r "$SUITE" "$WORK/suite" && rm -f "$WORK/suite/Zorvel/hiscore.dat" "$TRACE"
  local fullscreen=0 nowindow=0 id
  [ "$MODE" = fullscreen ] && fullscreen=1
  [ "$MODE" = borderless ] && nowindow=1
  printf '[setup]\r\nfullscreen=%s\r\nnowindow=%s\r\n' "$fullscreen" "$nowindow" >"$WORK/suite/Zorvel/setup.ini"
  # Switching to full screen is the window manager's job: the plain 800 x 600 window gets one, for Alt+Enter.
  WM_PID=""
  if [ "$MODE" = window800 ] && command -v openbox >/dev/null; then
    openbox --sm-disable >"$WORK/wm.log" 2>&1 &
    WM_PID=$!
    sleep 0.5
  fi
  (cd "$WORK/suite/Zorvel" && ZORVEL_TRACE="$TRACE" exec "$GAME" "$WORK/suite") >"$WORK/game.log" 2>&1 &
  GAME_PID=$!
  WIN=""
  for _ in 1 2 3; do WIN=$(wait_for_window "^Zorvel") && break; done  # up to 30 s for a slow start
  if [ -z "$WIN" ]; then
    # Say enough to tell a slow start from a hang or an early exit.
    alive=no; kill -0 "$GAME_PID" 2>/dev/null && alive=yes
    xalive=no; kill -0 "$XVFB_PID" 2>/dev/null && xalive=yes
    windows=$(xwininfo -root -tree 2>&1 | grep -o '"[^"]*"' | sort -u | tr '\n' '|')
    fail "$MODE: no window after 30 s (game running: $alive; X server running: $xalive; windows: $windows; trace: $(tail -n 3 "$TRACE" 2>/dev/null | tr '\n' '|'); log: $(cat "$WORK/game.log"); X log: $(tail -n 5 "$WORK/xvfb.log" | tr '\n' '|'))"
  fi
  wait_lines " state 21 " 1
  # The renderer may have replaced the first window SDL made: take the one that exists now (on a busy machine the
  # new one may take a moment to appear).
  local found=""
  for _ in $(seq 1 100); do
    for id in $(xdotool search --name '^Zorvel' 2>/dev/null || true); do
      xdotool getwindowgeometry "$id" >/dev/null 2>&1 && found=$id
    done
    [ -n "$found" ] && break
    sleep 0.1
  done
  [ -n "$found" ] || fail "$MODE: the game's window went away after its first frame"
  WIN=$found
  case "$MODE" in
    window1000) xdotool windowsize "$WIN" 1000 750 || fail "$MODE: the window could not be resized" ;;
    window400) xdotool windowsize "$WIN" 400 300 || fail "$MODE: the window could not be resized" ;;
  esac
  local want
  case "$MODE" in
    window1000) want=1000x750 ;;
    window400) want=400x300 ;;
    fullscreen) want=$XVFB_SCREEN ;;
    *) want=800x600 ;;
  esac
  for _ in $(seq 1 50); do
    measure
    [ "${WIN_W}x${WIN_H}" = "$want" ] && break
    sleep 0.1
  done
  [ "${WIN_W}x${WIN_H}" = "$want" ] || fail "$MODE: window is ${WIN_W}x${WIN_H}, not $want"
  xdotool windowfocus --sync "$WIN" 2>/dev/null || true
  sleep 0.3

  # The bars beside the picture belong to no button: below True, or left of New game.
  if awk -v y="$OFFY" 'BEGIN { exit !(y >= 2) }'; then
    click_window "$(awk -v s="$SCALE" -v ox="$OFFX" 'BEGIN { printf "%d", ox + 268 * s }')" \
                 "$(awk -v h="$WIN_H" -v oy="$OFFY" 'BEGIN { printf "%d", h - oy / 2 }')"
  fi
  if awk -v x="$OFFX" 'BEGIN { exit !(x >= 2) }'; then
    click_window "$(awk -v ox="$OFFX" 'BEGIN { printf "%d", ox / 2 }')" \
                 "$(awk -v s="$SCALE" -v oy="$OFFY" 'BEGIN { printf "%d", oy + 543 * s }')"
  fi
  sleep 0.3
  [ "$(count_lines ' answer | new game')" -eq 1 ] || fail "$MODE: a click on the bars did something: $(tail -n 3 "$TRACE")"

  # SHOTS=folder keeps a picture of each mode's screen (for the documentation).
  if [ -n "${SHOTS:-}" ]; then
    if [ "$MODE" = fullscreen ]; then screenshot "$SHOTS/$MODE-$XVFB_SCREEN.png" root
    else screenshot "$SHOTS/$MODE-$XVFB_SCREEN.png" "$WIN"; fi
  fi
  answer_and_continue "$TRUE_XY" true 1
  answer_and_continue "$FALSE_XY" false 2
  answer_and_continue "$PASS_XY" pass 3

  click_picture $INFO_XY
  wait_lines ' popup open ' 1
  click_picture 400 300
  wait_lines ' popup close ' 1

  if [ -n "$WM_PID" ]; then
    alt_enter_to_full_screen_and_back
  elif [ "$MODE" = window800 ]; then
    echo "note: no window manager (openbox) to switch to full screen: Alt+Enter not checked"
  fi

  click_picture $NEWGAME_XY
  wait_lines ' new game' 2

  [ "$MODE" = window800 ] && hold_key_answers_once

  click_picture $EXIT_XY
  for _ in $(seq 1 50); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$GAME_PID" 2>/dev/null && fail "$MODE: the exit button did not end the program"
  local code=0
  wait "$GAME_PID" || code=$?
  GAME_PID=""
  [ "$code" -eq 0 ] || fail "$MODE: exit code $code: $(tail -n 20 "$WORK/game.log")"
  if [ -n "$WM_PID" ]; then
    kill "$WM_PID" 2>/dev/null || true
    wait "$WM_PID" 2>/dev/null || true
    WM_PID=""
  fi
  echo "ok: $MODE on $XVFB_SCREEN (window ${WIN_W}x${WIN_H})"
}

for mode in "${MODES[@]}"; do run_mode "$mode"; done
echo "PASS: ${MODES[*]} on $XVFB_SCREEN"
