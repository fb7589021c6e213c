#!/usr/bin/env bash
# Starts the installed program (see install_tree.sh) on a virtual X server as
# a plain user with its data folder read-only: the user's own settings file
# (300 dpi) wins over the program folder's sample (150 dpi), which the saved
# picture's resolution shows, and nothing is written into the data folder.
# Usage: installed_program.sh <install root> <work dir>
set -euo pipefail
ROOT=$(readlink -f "$1")
WORK=$2
HERE=$(cd "$(dirname "$0")" && pwd)
rm -rf "$WORK"
mkdir -p "$WORK"
WORK=$(readlink -f "$WORK")
DATA=$ROOT/usr/share/zorvat
fail() { echo "installed: $*" >&2; exit 1; }

USERHOME=$WORK/home
mkdir -p "$USERHOME/config/zorvat" "$USERHOME/data" "$USERHOME/state"
printf '[print]\ndpi=300\n' >"$USERHOME/config/zorvat/zorvat.ini"
find "$DATA" -printf '%p %s %T@\n' | sort >"$WORK/data-before"

PLAN=$USERHOME/plan.bmp
python3 "$HERE/../e2e/bmp_check.py" make "$PLAN" 120 80
# The plan states no resolution (0 pixels per metre), so the saved file takes
# the settings' value; a file's own resolution would be kept.
python3 - "$PLAN" <<'PY'
import sys
with open(sys.argv[1], "r+b") as f:
    f.seek(38)
    f.write(bytes(8))
PY
mkdir -m 700 "$USERHOME/runtime"

XVFB_PID=""
APP_PID=""
cleanup() {
    [ -n "$APP_PID" ] && kill "$APP_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null || true
    [ -n "$APP_PID" ] && wait "$APP_PID" 2>/dev/null || true
    [ -n "$XVFB_PID" ] && wait "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
source "$HERE/../testsupport/xvfb.sh"
start_xvfb "$WORK"

# As root the permission bits would not keep anyone out: run as a plain user.
AS_USER=()
if [ "$(id -u)" -eq 0 ] && command -v setpriv >/dev/null; then
    AS_USER=(setpriv --reuid=nobody --regid=nogroup --clear-groups)
    chown -R nobody:nogroup "$USERHOME"
    chmod a+rx "$WORK"
fi
env -i PATH="$PATH" DISPLAY="$DISPLAY" HOME="$USERHOME" QT_QPA_PLATFORM=xcb \
    XDG_CONFIG_HOME="$USERHOME/config" XDG_DATA_HOME="$USERHOME/data" XDG_STATE_HOME="$USERHOME/state" \
    XDG_RUNTIME_DIR="$USERHOME/runtime" TMPDIR="$USERHOME" \
    "${AS_USER[@]}" "$ROOT/usr/bin/zorvat" "$PLAN" >"$WORK/zorvat.log" 2>&1 &
APP_PID=$!
WIN=$(timeout 20 xdotool search --sync --onlyvisible --pid "$APP_PID" | head -n1) || fail "no main window ($(cat "$WORK/zorvat.log"))"
xdotool windowfocus --sync "$WIN" 2>/dev/null || xdotool windowfocus "$WIN"
sleep 0.3
cp "$PLAN" "$WORK/plan-before.bmp"
xdotool key ctrl+s
for _ in $(seq 100); do
    cmp -s "$PLAN" "$WORK/plan-before.bmp" || break
    sleep 0.05
done
sleep 0.3
# Horizontal resolution of the saved BMP, pixels per metre: 300 dpi.
ppm=$(python3 -c 'import struct,sys; print(struct.unpack_from("<i", open(sys.argv[1],"rb").read(), 38)[0])' "$PLAN")
[ "$ppm" = 11811 ] || fail "saved at $ppm pixels per metre, not the user's 300 dpi"

kill "$APP_PID"; wait "$APP_PID" 2>/dev/null || true; APP_PID=""
find "$DATA" -printf '%p %s %T@\n' | sort >"$WORK/data-after"
cmp -s "$WORK/data-before" "$WORK/data-after" || fail "the data folder changed: $(diff "$WORK/data-before" "$WORK/data-after")"
echo "installed: ok"
