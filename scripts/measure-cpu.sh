#!/usr/bin/env bash
# Processor time of intro-silent at 50 fps into a pseudo-terminal, at 80x25
# and 320x100, for 20 seconds each (or the number of seconds given), beside
# the reference program bench/frame_floor, which only sleeps and writes a
# ready frame of the same size: what the pause and the terminal cost any
# program on this machine.
#
# Usage: scripts/measure-cpu.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh
build_targets intro-silent frame_floor
python3 bench/measure_cpu.py --program "$(program_path intro-silent)" \
  --floor "$BUILD"/bench/frame_floor --seconds "${1:-20}" --rate 50 --size 80x25 --size 320x100
