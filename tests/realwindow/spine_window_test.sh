#!/usr/bin/env bash
# The game opens its real 800 x 600 window captioned "Zorvel", F1 shows the frame rate and hides it again,
# and Escape ends the program with exit code 0.
GAME="$1"
GAME_DIR="$2"
source "$(dirname "$0")/xvfb_session.sh"

mkdir -p "$WORK/suite/Zorvel"
cp -r "$GAME_DIR"/. "$WORK/suite/Zorvel/"
rm -f "$WORK/suite/Zorvel/hiscore.dat"
cd "$WORK/suite/Zorvel"
"$GAME" "$WORK/suite" >"$WORK/game.log" 2>&1 &
GAME_PID=$!
WIN=$(wait_for_window '^Zorvel') || fail "no window captioned Zorvel"
sleep 0.5
geometry=$(xdotool getwindowgeometry "$WIN" | awk '/Geometry/ {print $2}')
[ "$geometry" = "800x600" ] || fail "window is $geometry, not 800x600"

xdotool windowfocus --sync "$WIN" || true
# The frame rate is drawn in the bottom right corner, 6 pixels inside the picture; nothing else changes there.
REGION=80x22+716+574
screenshot "$WORK/before.png" "$WIN"
xdotool key --window "$WIN" F1
sleep 0.5
screenshot "$WORK/f1-on.png" "$WIN"
on=$(count_changed "$WORK/before.png" "$WORK/f1-on.png" $REGION)
[ "$on" -gt 40 ] || fail "F1 did not show the frame rate in the bottom right corner: $on pixels changed"

xdotool key --window "$WIN" F1
sleep 0.5
screenshot "$WORK/f1-off.png" "$WIN"
off=$(count_changed "$WORK/before.png" "$WORK/f1-off.png" $REGION)
[ "$off" -eq 0 ] || fail "the frame rate is still shown after the second F1: $off pixels differ"

escape_and_expect_clean_exit
echo "PASS: window 800x600, F1 on ($on px) and off, Escape exit 0"
