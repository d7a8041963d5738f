#!/usr/bin/env bash
# Installs what building and running need (if missing), builds the two
# programs and the music module without any test, and starts the intro from
# the build folder, where its module is.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh run
cmake -S . -B build -DBUILD_TESTING=OFF
cmake --build build -j "$(nproc)" --target intro intro-silent blumot_mod
cd build
exec ./intro
