#!/usr/bin/env bash
# Sets up and builds Zorvat, then runs the whole test suite headless.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/setup.sh"
export QT_QPA_PLATFORM=offscreen
cd "$here/build"
ctest --output-on-failure --timeout 900 "$@"
