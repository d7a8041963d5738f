#!/usr/bin/env bash
# The mix of the intro's tune, or of any modules given, rendered through
# libmikmod with intro's mixer settings: the loudness of the whole and of
# each channel alone, where each channel's energy lies, the one-shot
# samples played, the loudness of each 8-bar section and each one-shot
# alone at the rates the song plays it. Given several modules, it ends
# with a table of them side by side.
#
# Usage: scripts/measure-mix.sh [module...]    (build/blumot.mod by default)
set -euo pipefail
modules=()
for module in "$@"; do
  modules+=("$(realpath -e "$module")")
done
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh
build_targets render-mix blumot_mod
if [ "${#modules[@]}" -eq 0 ]; then
  modules=("$BUILD"/blumot.mod)
fi
# The system's Python, which has numpy and scipy.
/usr/bin/python3 tools/measure-mix/measure_mix.py --render "$(program_path render-mix)" "${modules[@]}"
