#!/usr/bin/env bash
# Installs what building and running need (if missing), builds the two
# programs and the music module without any test, and starts the intro from
# the build folder, where its module is.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/lib-programs.sh
DEPS=run
BUILD_OPTIONS=(-DBUILD_TESTING=OFF)
build_targets intro intro-silent blumot_mod
cd "$BUILD"
exec ./intro
