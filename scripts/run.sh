#!/usr/bin/env bash
# Sets up and builds Zorvat, then starts the editor; arguments are passed on
# (./scripts/run.sh plan.bmp opens plan.bmp).
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
  echo "No display found: starting under a virtual X server (xvfb-run)." >&2
  exec xvfb-run -a "$here/build/program/zorvat" "$@"
fi
exec "$here/build/program/zorvat" "$@"
