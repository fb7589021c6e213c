#!/usr/bin/env bash
# Builds the libFuzzer harnesses of fuzz/ (clang, with AddressSanitizer and
# UndefinedBehaviorSanitizer) into ./build-fuzz, runs each once on the
# reproducers of past faults, then fuzzes each for the given number of
# seconds (default 60), starting from its seed corpus.
#   scripts/fuzz.sh [seconds]
# A crash stops the script and leaves the input as build-fuzz/crash-<harness>-*.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
seconds="${1:-60}"
"$here/scripts/setup.sh" --packages-only

build="$here/build-fuzz"
cmake -S "$here" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=clang++ \
  -DZORVAT_FUZZ=ON -DBUILD_TESTING=OFF >/dev/null
harnesses=(jpeg png bmp open thumbnail settings recovery_ini)
cmake --build "$build" --parallel "$(nproc)" --target "${harnesses[@]/#/fuzz_}"

export QT_QPA_PLATFORM=offscreen
suppressions="$here/scripts/lsan-suppressions.txt"
[ -f "$suppressions" ] && export LSAN_OPTIONS="suppressions=$suppressions"
# One image may not take more than this; libFuzzer counts a larger
# allocation as a fault.
limits=(-rss_limit_mb=3072 -malloc_limit_mb=2048)
for name in "${harnesses[@]}"; do
  bin="$build/fuzz/fuzz_$name"
  if [ "$name" != settings ] && [ "$name" != recovery_ini ]; then
    echo "== $name: reproducers"
    "$bin" "${limits[@]}" "$here"/tests/imaging/data/hostile/* 2>&1 | tail -n 2
  fi
  echo "== $name: fuzzing for $seconds s"
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  "$bin" "${limits[@]}" -max_total_time="$seconds" -print_final_stats=1 \
    -artifact_prefix="$build/crash-$name-" "$corpus" "$here/fuzz/corpus/$name" 2>&1 | tail -n 12
done
