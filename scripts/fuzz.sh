#!/usr/bin/env bash
# Fuzzes each target (fuzz/) with libFuzzer under AddressSanitizer and
# UndefinedBehaviorSanitizer, for a bounded time each: 20 seconds unless a
# number of seconds is given. Builds with clang into build-fuzz; the main
# build needs no clang. The kept seeds in fuzz/corpus/<target> and the
# crash inputs in fuzz/regressions/<target> are read, never written: new
# inputs go to build-fuzz/corpus/<target>, and a crash leaves its input in
# build-fuzz/crashes/<target>, to be kept in fuzz/regressions/<target> once
# fixed, where the replay test of every build runs it.
#
# Usage: scripts/fuzz.sh [seconds per target] [target ...]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh

seconds=${1:-20}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(dialogue draw module)

BUILD=build-fuzz
BUILD_OPTIONS=(-DINTRO_FUZZ=ON -DINTRO_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link)
CC=clang CXX=clang++ build_targets "${targets[@]/#/fuzz_}"

failed=()
for target in "${targets[@]}"; do
  corpus="$BUILD/corpus/$target"
  crashes="$BUILD/crashes/$target"
  mkdir -p "$corpus" "$crashes"
  kept=(fuzz/corpus/"$target")
  [ -d fuzz/regressions/"$target" ] && kept+=(fuzz/regressions/"$target")
  echo "== fuzzing $target for $seconds s"
  if ! "$BUILD/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix="$crashes/" "$corpus" "${kept[@]}" \
      >"$BUILD/$target.log" 2>&1; then
    failed+=("$target")
    tail -n 40 "$BUILD/$target.log"
  fi
  grep -E '^stat::(number_of_executed_units|peak_rss_mb|new_units_added)' "$BUILD/$target.log" |
    sed "s/^/   $target /"
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzzing found crashes in: ${failed[*]} (inputs in $BUILD/crashes)"
  exit 1
fi
echo "fuzzing found no crash in: ${targets[*]}"
