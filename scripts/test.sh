#!/usr/bin/env bash
# Builds everything and runs every test. With --sanitize, builds into
# build-sanitize with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh test

build=build
options=()
if [ "${1:-}" = "--sanitize" ]; then
  build=build-sanitize
  options=(-DINTRO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
  # Leaks inside the sound libraries' start-up are theirs, not the intro's.
  export LSAN_OPTIONS="suppressions=$PWD/tests/support/lsan-suppressions.txt:print_suppressions=0"
fi
# Testing on even where scripts/run.sh configured the same folder without.
cmake -S . -B "$build" -DBUILD_TESTING=ON "${options[@]}" >/dev/null
cmake --build "$build" -j "$(nproc)"
ctest --test-dir "$build" --output-on-failure --no-tests=error -j "$(nproc)"
