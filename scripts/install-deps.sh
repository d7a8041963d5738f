#!/usr/bin/env bash
# Installs the Debian packages that are missing, and only those.
#
# Usage: scripts/install-deps.sh [run|test]
#   run   what building and running the two programs need
#   test  that, and what the tests, benchmarks, fuzzing, memory checks and
#         the Debian packages (building, checking, autopkgtest) need (the
#         default)
set -euo pipefail

run_packages=(cmake g++ make pkg-config libmikmod-dev libpulse-dev libasound2-dev)
test_packages=(
  libgtest-dev libgmock-dev libbenchmark-dev
  python3 strace pulseaudio pulseaudio-utils
  clang libclang-rt-14-dev clang-format valgrind
  dpkg-dev groff-base lintian
  python3-numpy python3-scipy
  debhelper devscripts autopkgtest libpulse-dev libasound2-dev
)

case "${1:-test}" in
  run) packages=("${run_packages[@]}") ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") ;;
  *)
    echo "Usage: $0 [run|test]" >&2
    exit 2
    ;;
esac

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
echo "Installing: ${missing[*]}"
"${as_root[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${as_root[@]}" apt-get install -y -qq "${missing[@]}"
