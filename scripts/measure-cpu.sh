#!/usr/bin/env bash
# Processor time of intro-silent at 50 fps into a pseudo-terminal, at 80x25
# and 320x100, beside the reference program frame_floor (bench/), which only
# sleeps and writes a ready frame of the same size: what the pause and the
# terminal cost any program on this machine. The two take turns, 10 seconds
# a run (or the number of seconds given) in 5 rounds (or the number given),
# and the table gives the medians. The machine should be otherwise idle.
#
# Usage: scripts/measure-cpu.sh [seconds] [rounds]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh
build_targets intro-silent frame_floor
python3 bench/measure_cpu.py --program "$(program_path intro-silent)" \
  --floor "$(program_path frame_floor)" --seconds "${1:-10}" --runs "${2:-5}" --rate 50 \
  --size 80x25 --size 320x100
