# Shared by the scripts: configures and builds what they need, and finds the
# built programs. The build folder is build/ unless BUILD names another.
# Before build_targets a script may set BUILD_OPTIONS, the options of the
# configure step (tests and benchmarks on), and DEPS, which packages to
# install when missing (run or test, as scripts/install-deps.sh takes).
BUILD=${BUILD:-build}
BUILD_OPTIONS=(-DBUILD_TESTING=ON)
DEPS=test

# build_targets [TARGET...]: installs what is missing, configures the build
# folder and builds the targets, or everything when none is named. The
# compiler's messages still reach standard error.
build_targets() {
  local targets=()
  if [ $# -gt 0 ]; then targets=(--target "$@"); fi
  bash scripts/install-deps.sh "$DEPS"
  cmake -S . -B "$BUILD" "${BUILD_OPTIONS[@]}" >/dev/null
  cmake --build "$BUILD" -j "$(nproc)" "${targets[@]}" >/dev/null
}

# program_path NAME: the built program NAME where the build puts it. The
# programs, the benchmarks and their reference program land at the top of
# the build folder; for a tool NAME is its path inside the build folder
# (tools/modcompose/compose-module). Fails when it is not built.
program_path() {
  if [ -f "$BUILD/$1" ] && [ -x "$BUILD/$1" ]; then
    echo "$BUILD/$1"
    return 0
  fi
  echo "no built program $1 in $BUILD/" >&2
  return 1
}
