#!/usr/bin/env bash
# Makes the moving picture at the top of the README from intro-silent's own
# frames: 4 seconds at 80x25 and 25 frames a second (frames 300 to 399 of a
# run, or 100 frames from the number given), as tools/animation/intro.svg.
#
# Usage: scripts/animation.sh [first frame]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh
build_targets intro-silent
python3 tools/animation/frames_svg.py --program "$(program_path intro-silent)" \
  --first "${1:-300}" --output tools/animation/intro.svg
