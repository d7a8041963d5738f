#!/usr/bin/env bash
# Builds the Debian source and binary packages from a clean export of the
# last commit (what is not committed is not in them), has lintian check the
# .dsc, the .changes and the .deb as Debian checks its own, with every tag it
# knows, and checks the package file by file. The packages land in
# build-package/.
#
# With --autopkgtest it then installs the package on this machine and runs
# its installed-program tests (debian/tests) through autopkgtest's null
# runner, purges it, and checks that nothing of it is left. That changes the
# machine for a while: it refuses where blumot is already installed.
#
# Usage: scripts/package.sh [--autopkgtest]
set -euo pipefail
cd "$(dirname "$0")/.."
out=$PWD/build-package
autopkgtest=false
case "${1:-}" in
  --autopkgtest) autopkgtest=true ;;
  "") ;;
  *)
    echo "Usage: $0 [--autopkgtest]" >&2
    exit 2
    ;;
esac
bash scripts/install-deps.sh test

# The source package keeps its files' modes, which are the umask's.
umask 022
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git archive --prefix=blumot/ HEAD | tar -x --no-same-permissions -C "$work"
echo "Building the packages in $work/blumot (log: $out/build.log)"
rm -rf "$out"
mkdir -p "$out"
if ! (cd "$work/blumot" && dpkg-buildpackage -us -uc -j"$(nproc)") >"$out/build.log" 2>&1; then
  tail -n 40 "$out/build.log" >&2
  echo "FAIL: dpkg-buildpackage" >&2
  exit 1
fi
find "$work" -maxdepth 1 -type f -exec mv -t "$out" {} +
ls "$out"

# Every tag counts, the experimental and pedantic ones included; the
# overrides in debian/ give their reasons.
dsc=("$out"/blumot_*.dsc)
changes=("$out"/blumot_*.changes)
deb=("$out"/blumot_*_*.deb)
if ! tags=$(lintian -EIL +pedantic --fail-on error,warning,info,pedantic,experimental \
  "${dsc[0]}" "${changes[0]}" "${deb[0]}" 2>"$work/lintian.err") || [ -n "$tags" ]; then
  echo "$tags" >&2
  grep -v 'running with root privileges' "$work/lintian.err" >&2 || true
  echo "FAIL: lintian has something to say about the packages" >&2
  exit 1
fi
echo "lintian: nothing to report on $(basename "${dsc[0]}"), $(basename "${changes[0]}"), $(basename "${deb[0]}")"
bash tests/package/check_package.sh "${deb[0]}"

if $autopkgtest; then
  if dpkg-query -W -f='${Status}' blumot 2>/dev/null | grep -q installed; then
    echo "FAIL: blumot is installed here already; remove it first" >&2
    exit 1
  fi
  autopkgtest "${changes[0]}" -- null
  files=$(dpkg-query -L blumot | grep -v '^/\.$')
  apt-get purge -y -qq blumot >/dev/null
  left=$(while read -r path; do
    [ -d "$path" ] && [ -n "$(dpkg-query -S "$path" 2>/dev/null)" ] && continue
    [ -e "$path" ] || [ -L "$path" ] && echo "$path"
  done <<<"$files")
  left+=$(ls /var/lib/dpkg/info/blumot.* 2>/dev/null)
  [ -z "$left" ] || {
    echo "FAIL: purging blumot left: $left" >&2
    exit 1
  }
  echo "autopkgtest passed; purged without a trace"
fi
