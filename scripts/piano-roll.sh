#!/usr/bin/env bash
# Draws the piano roll of the intro's music, the picture that DEVELOPING.md
# shows, from the score the build composes: tools/modcompose/piano-roll.svg.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh
build_targets compose-module
"$(program_path tools/modcompose/compose-module)" --piano-roll tools/modcompose/piano-roll.svg
