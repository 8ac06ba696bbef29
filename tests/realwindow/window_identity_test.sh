#!/usr/bin/env bash
# What the desktop learns of the window: the caption in UTF-8 with a player's accented name, a minimum size of
# 640 x 480 that a resize cannot pass, and the window class the desktop entry names as its StartupWMClass.
GAME="$1"
GAME_DIR="$2"
DESKTOP_ENTRY="$3"
source "$(dirname "$0")/xvfb_session.sh"
command -v xprop >/dev/null || fail "xprop is missing (package x11-utils)"

mkdir -p "$WORK/suite/Zorvel"
cp -r "$GAME_DIR"/. "$WORK/suite/Zorvel/"
rm -f "$WORK/suite/Zorvel/hiscore.dat"
printf '[setup]\r\nplayerid=0\r\n[Player1]\r\nname=Zo\xc3\xab \xc3\x86r\xc3\xb8\r\n' > "$WORK/suite/options.ini"
cd "$WORK/suite/Zorvel"
"$GAME" "$WORK/suite" >"$WORK/game.log" 2>&1 &
GAME_PID=$!
WIN=$(wait_for_window '^Zorvel') || fail "no window captioned Zorvel"
sleep 0.5

name=$(xprop -id "$WIN" -notype _NET_WM_NAME | sed 's/^[^=]*= //')
[ "$name" = "$(printf '"Zorvel - Zo\xc3\xab \xc3\x86r\xc3\xb8"')" ] || fail "_NET_WM_NAME is $name"

hints=$(xprop -id "$WIN" WM_NORMAL_HINTS)
echo "$hints" | grep -q "minimum size: 640 by 480" || fail "no minimum size of 640 by 480: $hints"

class=$(xprop -id "$WIN" -notype WM_CLASS | sed 's/^[^=]*= //')
wanted=$(sed -n 's/^StartupWMClass=//p' "$DESKTOP_ENTRY")
[ -n "$wanted" ] || fail "the desktop entry names no StartupWMClass"
[ "$class" = "\"$wanted\", \"$wanted\"" ] || fail "WM_CLASS is $class, the desktop entry says $wanted"

escape_and_expect_clean_exit
echo "PASS: caption $name, minimum 640x480, class $class"
