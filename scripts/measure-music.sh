#!/usr/bin/env bash
# What the music costs intro, through a PulseAudio server of the script's
# own: frame rates beside intro-silent, processor time, recovery after a
# stop, a stopped sound server and how fast Ctrl-c ends intro. A second
# build of intro may be given for its processor time beside this one.
#
# Usage: scripts/measure-music.sh [seconds] [other intro]
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh
build_targets intro intro-silent blumot_mod
python3 bench/measure_music.py --intro "$(program_path intro)" \
  --silent "$(program_path intro-silent)" --module "$BUILD"/blumot.mod \
  --seconds "${1:-10}" ${2:+--compare "$2"}
