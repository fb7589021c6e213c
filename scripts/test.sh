#!/usr/bin/env bash
# Sets up and builds Zorvat, then runs the whole test suite headless.
#   scripts/test.sh [ctest arguments]
#   scripts/test.sh --sanitize [ctest arguments]
# With --sanitize the program and its tests are built with AddressSanitizer
# and UndefinedBehaviorSanitizer into ./build-sanitize and the suite runs
# there; a memory error, a leak or undefined behaviour fails the test.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
export QT_QPA_PLATFORM=offscreen
if [ "${1:-}" = "--sanitize" ]; then
  shift
  "$here/scripts/setup.sh" --packages-only
  build="$here/build-sanitize"
  cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DZORVAT_SANITIZE=ON >/dev/null
  cmake --build "$build" --parallel "$(nproc)"
  # strict_string_checks is left off: it reports length-bounded strndup calls
  # in the X keyboard library as overflows, so the real window could not start.
  export ASAN_OPTIONS="detect_leaks=1:check_initialization_order=1"
  export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
  # Leaks inside libraries that are not ours (the SANE test backend) only.
  suppressions="$here/scripts/lsan-suppressions.txt"
  [ -f "$suppressions" ] && export LSAN_OPTIONS="suppressions=$suppressions:print_suppressions=0"
  cd "$build"
  ctest --output-on-failure --timeout 900 "$@"
  exit
fi
"$here/scripts/setup.sh"
cd "$here/build"
ctest --output-on-failure --timeout 900 "$@"
