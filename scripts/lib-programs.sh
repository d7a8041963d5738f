# Shared by the measurement scripts: builds the given targets and finds the
# built programs. The build folder is build/, the one of scripts/test.sh,
# unless BUILD names another.
BUILD=${BUILD:-build}

# build_targets TARGET...: configures the build, tests and benchmarks on,
# and builds the targets.
build_targets() {
  bash scripts/install-deps.sh
  cmake -S . -B "$BUILD" -DBUILD_TESTING=ON >/dev/null
  cmake --build "$BUILD" -j "$(nproc)" --target "$@" >/dev/null
}

# program_path NAME: the built program of that name, at the top of the build
# tree or one folder down; fails when there is none.
program_path() {
  local candidate
  for candidate in "$BUILD/$1" "$BUILD"/*/"$1"; do
    if [ -f "$candidate" ] && [ -x "$candidate" ]; then
      echo "$candidate"
      return 0
    fi
  done
  echo "no built program $1 in $BUILD/" >&2
  return 1
}
