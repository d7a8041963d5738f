#!/usr/bin/env bash
# A soak run: intro-silent without pause for 1,000,000 frames at 80x25 (or
# the number of frames given) into a checker that verifies every frame's
# size and line structure; its resident memory after the first 1000 frames
# must equal what it is at the end.
#
# Usage: scripts/soak.sh [frames]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh
build_targets intro-silent
python3 bench/soak.py --program "$(program_path intro-silent)" --frames "${1:-1000000}" \
  --size 80x25
