#!/usr/bin/env bash
# Captures a real frame of intro-silent at 80x25 (frame 300 of a run, or the
# number given) into README.md, between its frame markers.
#
# Usage: scripts/capture-frame.sh [frame number]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh
build_targets intro-silent
python3 bench/capture_frame.py --program "$(program_path intro-silent)" --frame "${1:-300}" \
  --readme README.md
