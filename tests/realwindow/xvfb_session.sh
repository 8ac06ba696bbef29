# Shared by the real-window tests: starts a private X server and offers helpers to drive and photograph the game.
# Source it; it sets DISPLAY, WORK (a temp folder) and cleans up on exit. XVFB_SCREEN (WxH) sets the screen size.
set -Eeuo pipefail
# A command that fails ends the test under set -e: say which, so a failure is never silent.
trap 'code=$?; echo "FAIL: line $LINENO of $0: \"$BASH_COMMAND\" exited with $code" >&2' ERR
WORK=$(mktemp -d /tmp/zorvel-xvfb-XXXXXX)
GAME_PID=""
cleanup() {
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null || true
  [ -n "${WM_PID:-}" ] && kill "$WM_PID" 2>/dev/null || true
  [ -n "${XVFB_PID:-}" ] && kill "$XVFB_PID" 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT
# Starts an X server of our own and points DISPLAY at it; called again, a fresh one (after a test stopped the last).
start_xvfb() {
  : >"$WORK/displayfd"
  exec 3>"$WORK/displayfd"
  # -noreset: an X server resets whenever its last client leaves, and between two games (or two xdotool calls while
  # a game starts) that reset races the next game's connection.
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1024x768}x24" -nolisten tcp -noreset >>"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  exec 3>&-
  for _ in $(seq 1 100); do [ -s "$WORK/displayfd" ] && break; sleep 0.1; done
  export DISPLAY=":$(head -n1 "$WORK/displayfd")"
}
start_xvfb
export SDL_AUDIODRIVER=dummy

fail() { echo "FAIL: $*" >&2; exit 1; }

# Waits for the game's window and prints its id.
wait_for_window() {
  local id=""
  for _ in $(seq 1 100); do
    id=$(xdotool search --name "$1" 2>/dev/null | head -n1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# A person's click on the window WIN: click X Y. It lasts tens of milliseconds (the game reads the buttons once a
# frame, so it is held a while); CLICK_SETTLE seconds more let the program answer it.
click() {
  xdotool mousemove --window "$WIN" "$1" "$2"
  sleep 0.05
  xdotool mousedown 1
  sleep 0.08
  xdotool mouseup 1
  sleep "${CLICK_SETTLE:-0}"
}

# Photographs the window: screenshot FILE WINDOW_ID
screenshot() { import -window "$2" "$1"; }

# Counts the pixels that differ between two screenshots in a region: count_changed A B WxH+X+Y
count_changed() {
  convert "$1" -crop "$3" +repage "$WORK/crop-a.png"
  convert "$2" -crop "$3" +repage "$WORK/crop-b.png"
  compare -metric AE "$WORK/crop-a.png" "$WORK/crop-b.png" null: 2>&1 || true
}

# Presses Escape and expects the game to end through its shutdown with exit code 0.
escape_and_expect_clean_exit() {
  xdotool key --window "$WIN" Escape
  for _ in $(seq 1 50); do kill -0 "$GAME_PID" 2>/dev/null || break; sleep 0.1; done
  kill -0 "$GAME_PID" 2>/dev/null && fail "Escape did not end the program"
  local code=0
  wait "$GAME_PID" || code=$?
  GAME_PID=""
  [ "$code" -eq 0 ] || fail "exit code $code; the program said: $(tail -n 30 "$WORK/game.log")"
}
