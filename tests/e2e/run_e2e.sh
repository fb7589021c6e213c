#!/usr/bin/env bash
# End-to-end: starts the real program on a virtual X server, traces a
# double-line wall and a hinged door with keypad keystrokes, answers the
# side-choice window, saves with Ctrl+S and checks the saved BMP's pixels.
# Usage: run_e2e.sh <path-to-zorvat> <workdir>
set -euo pipefail

PROGRAM=$(readlink -f "$1")
WORK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
rm -rf "$WORK"
mkdir -p "$WORK"
PLAN="$WORK/plan.bmp"

XVFB_PID=""
APP_PID=""
cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    [ -n "$APP_PID" ] && wait "$APP_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && wait "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT

fail() { echo "e2e: $*" >&2; exit 1; }

# A white 300 x 320 24-bit plan.
python3 "$HERE/bmp_check.py" make "$PLAN" 300 320

# A virtual screen on a free display number.
source "$HERE/../testsupport/xvfb.sh"
start_xvfb "$WORK"

# Settings, data and state folders of its own: a recovery copy another run
# left in the user's folders would ask its question in the middle of the keys.
mkdir -p "$WORK/xdg/config" "$WORK/xdg/data" "$WORK/xdg/state" "$WORK/xdg/cache"
XDG_CONFIG_HOME="$WORK/xdg/config" XDG_DATA_HOME="$WORK/xdg/data" XDG_STATE_HOME="$WORK/xdg/state" \
XDG_CACHE_HOME="$WORK/xdg/cache" QT_QPA_PLATFORM=xcb "$PROGRAM" "$PLAN" >"$WORK/zorvat.log" 2>&1 &
APP_PID=$!
WIN=$(timeout 60 xdotool search --sync --onlyvisible --pid "$APP_PID" | head -n1) || { cat "$WORK/zorvat.log" >&2; fail "no main window"; }
xdotool windowfocus --sync "$WIN" 2>/dev/null || xdotool windowfocus "$WIN"
sleep 0.3

# Num Lock on once, then raw keypad keycodes (keysym names would make
# xdotool toggle Num Lock on its own).
if xset q | grep -q "Num Lock: *off"; then
    xdotool key Num_Lock
fi
KP4=83 KP5=84 KP6=85 KP2=88 KP_SUB=82

keys() { xdotool key --delay 8 "$@"; }
repeat() { # repeat <count> <key>
    local n=$1 k=$2 out=()
    for _ in $(seq "$n"); do out+=("$k"); done
    keys "${out[@]}"
}

# R with no thickness chosen puts an empty square at (100, 100) of the view;
# Alt + keypad 2 / 6 grow it pixel by pixel to 20 x 20.
keys r
repeat 20 "alt+$KP2"
repeat 20 "alt+$KP6"
# Wall 1: start at (100, 100), walk 60 pixels right (Ctrl: 1 pixel a key),
# confirm as a double-line wall.
keys $KP5
repeat 60 "ctrl+$KP6"
keys $KP_SUB
# Wall 2 with a door: start at (100, 200), walk 60 right, D.
repeat 60 "ctrl+$KP4"
repeat 100 "ctrl+$KP2"
keys $KP5
repeat 60 "ctrl+$KP6"
keys d

# The side-choice window: its second answer ("下側", below the wall).
DLG=$(timeout 10 xdotool search --sync --onlyvisible --name '^問合せ$' | head -n1) || fail "no side-choice window"
xdotool windowfocus "$DLG" 2>/dev/null || true
sleep 0.2
xdotool mousemove --window "$DLG" 132 80 click 1
for _ in $(seq 100); do
    xdotool search --onlyvisible --name '^問合せ$' >/dev/null 2>&1 || break
    sleep 0.05
done
xdotool search --onlyvisible --name '^問合せ$' >/dev/null 2>&1 && fail "side-choice window still open"

# Save over the opened BMP.
BEFORE=$(stat -c %Y.%s "$PLAN")
cp "$PLAN" "$WORK/plan-before.bmp"
xdotool windowfocus "$WIN" 2>/dev/null || true
keys ctrl+s
for _ in $(seq 100); do
    cmp -s "$PLAN" "$WORK/plan-before.bmp" || break
    sleep 0.05
done
cmp -s "$PLAN" "$WORK/plan-before.bmp" && fail "Ctrl+S did not write the plan (log: $(cat "$WORK/zorvat.log"))"
sleep 0.3

python3 "$HERE/bmp_check.py" check "$PLAN"
echo "e2e: ok"
