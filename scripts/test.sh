#!/usr/bin/env bash
# Builds everything and runs every test. With --sanitize, builds into
# build-sanitize with AddressSanitizer and UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh
BUILD=build
if [ "${1:-}" = "--sanitize" ]; then
  BUILD=build-sanitize
  BUILD_OPTIONS+=(-DINTRO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug)
fi
# Testing on even where scripts/run.sh configured the same folder without.
build_targets
ctest --test-dir "$BUILD" --output-on-failure --no-tests=error -j "$(nproc)"
