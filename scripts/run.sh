#!/usr/bin/env bash
# Installs what is missing, builds, and starts the intro from the build
# folder, where its music module is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build >/dev/null
cmake --build build -j "$(nproc)" >/dev/null
cd build
exec ./intro
