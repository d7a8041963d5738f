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

# installed, config-files, not-installed, or nothing when dpkg never knew it.
package_state() {
  dpkg-query -W -f='${db:Status-Status}' blumot 2>/dev/null || true
}

if $autopkgtest; then
  if [ -n "$(package_state)" ] && [ "$(package_state)" != not-installed ]; then
    echo "FAIL: blumot is installed here already; remove it first" >&2
    exit 1
  fi
  autopkgtest "${changes[0]}" -- null
  # The null runner removes what it installed; purge whatever it left.
  if [ -n "$(package_state)" ] && [ "$(package_state)" != not-installed ]; then
    apt-get purge -y -qq blumot >/dev/null
  fi
  left=$(dpkg-deb -c "${deb[0]}" | awk '$6 != "./" {print substr($6, 2)}' | while read -r path; do
    # Folders that other packages own stay.
    [ -d "$path" ] && [ ! -L "$path" ] && dpkg-query -S "$path" >/dev/null 2>&1 && continue
    if [ -e "$path" ] || [ -L "$path" ]; then echo "$path"; fi
  done)
  left+=$(ls /var/lib/dpkg/info/blumot.* 2>/dev/null || true)
  [ -z "$left" ] || {
    echo "FAIL: purging blumot left: $left" >&2
    exit 1
  }
  echo "autopkgtest passed; purged without a trace"
fi
