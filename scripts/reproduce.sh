#!/usr/bin/env bash
# Shows that the builds reproduce: clones the last commit twice, at two
# paths of different lengths, builds the packages in each, the second a
# while after the first in another time zone and locale, and compares
# them byte for byte. Then it builds each clone by hand with plain cmake,
# installs it into a folder of its own, and compares what was installed.
# Prints the checksums of both builds; where they differ, diffoscope says
# how, and the script fails.
#
# Usage: scripts/reproduce.sh [DEB_BUILD_OPTIONS]   (e.g. nocheck)
set -euo pipefail
cd "$(dirname "$0")/.."
tree=$PWD
# Both clones check out the same commit, whatever is committed meanwhile.
commit=$(git rev-parse HEAD)
options=${1:-}
bash scripts/install-deps.sh test

# The source package keeps its files' modes, which are the umask's.
umask 022
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
build() {
  local clone=$1
  shift
  git clone -q "$tree" "$clone"
  git -C "$clone" checkout -q "$commit"
  (cd "$clone" && env "$@" DEB_BUILD_OPTIONS="$options" dpkg-buildpackage -us -uc -j"$(nproc)") \
    >"$clone.log" 2>&1 || {
    tail -n 40 "$clone.log" >&2
    echo "FAIL: dpkg-buildpackage in $clone" >&2
    exit 1
  }
}
first=$work/a/blumot
second=$work/a-much-longer-folder/of-another-name/blumot
mkdir -p "$(dirname "$first")" "$(dirname "$second")"
build "$first" TZ=UTC
build "$second" TZ=Pacific/Kiritimati LC_ALL=C.UTF-8

# A build by hand, in a build folder of the clone, installed unstripped.
install_by_hand() {
  local clone=$1
  (cd "$clone" && cmake -S . -B build -DBUILD_TESTING=OFF &&
    cmake --build build -j"$(nproc)" && DESTDIR=$clone-installed cmake --install build) \
    >"$clone-by-hand.log" 2>&1 || {
    tail -n 40 "$clone-by-hand.log" >&2
    echo "FAIL: the build by hand in $clone" >&2
    exit 1
  }
}
install_by_hand "$first"
install_by_hand "$second"

status=0
compare() {
  sha256sum "$1" "$2" | sed "s|$work/||"
  if ! cmp -s "$1" "$2"; then
    status=1
    diffoscope "$1" "$2" || true
  fi
}
for file in "$(dirname "$first")"/*.{dsc,tar.xz,deb}; do
  compare "$file" "$(dirname "$second")/$(basename "$file")"
done
while read -r file; do
  compare "$first-installed/$file" "$second-installed/$file"
done < <(cd "$first-installed" && find . -type f | sort)
[ "$(cd "$first-installed" && find . | sort)" = "$(cd "$second-installed" && find . | sort)" ] || {
  status=1
  echo "the builds by hand installed different files" >&2
}
[ $status -eq 0 ] && echo "both builds are byte for byte the same" || echo "FAIL: the builds differ" >&2
exit $status
