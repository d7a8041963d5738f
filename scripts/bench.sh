#!/usr/bin/env bash
# Builds and runs the frame-pass benchmarks (bench/intro_bench) and prints
# the table of medians in DEVELOPING.md. The repetitions of all the
# benchmarks are run in random order, so that a slow spell of the machine
# spreads over all of them. Options after the script's name go to the
# benchmark binary, e.g. --benchmark_filter=Pass.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh
build_targets intro_bench
"$(program_path intro_bench)" --benchmark_repetitions="${REPETITIONS:-10}" \
  --benchmark_enable_random_interleaving=true \
  --benchmark_min_time=0.2 --benchmark_report_aggregates_only=true \
  --benchmark_out="$BUILD"/bench.json --benchmark_out_format=json "$@" >/dev/null
python3 bench/bench_table.py "$BUILD"/bench.json
