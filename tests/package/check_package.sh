#!/usr/bin/env bash
# Makes the Debian package of a finished build with cpack, has lintian check
# it as Debian checks its own (any error or warning fails), unpacks it with
# dpkg-deb into a temporary root and checks what a user gets: exactly the
# two programs, the module as the build composed it, both manual pages
# compressed and readable, the users' README and the changelog compressed,
# the copyright file, lintian's overrides, and a Depends line that names
# libmikmod. Skipped (exit 77) only where dpkg-deb is missing.
#
# Usage: check_package.sh CPACK BUILD_DIR INSTALL_PREFIX PROGRAM_DIR
set -euo pipefail
cpack=$1
build=$2
prefix=${3#/}
programs=${4#/}

if ! command -v dpkg-deb >/dev/null; then
  echo "dpkg-deb is missing: the package cannot be checked here"
  exit 77
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

if ! "$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log" >&2
  fail "cpack made no package"
fi
debs=("$work"/out/*.deb)
[ -f "${debs[0]}" ] && [ ${#debs[@]} -eq 1 ] || fail "not one .deb: ${debs[*]}"
deb=${debs[0]}

[ "$(dpkg-deb -f "$deb" Package)" = blumot ] || fail "package name: $(dpkg-deb -f "$deb" Package)"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q '\blibmikmod' <<<"$depends" || fail "Depends names no libmikmod: '$depends'"

root=$work/root
dpkg-deb -x "$deb" "$root"
expected=$(sort <<EOF_FILES
$programs/intro
$programs/intro-silent
$prefix/share/blumot/blumot.mod
$prefix/share/doc/blumot/README.gz
$prefix/share/doc/blumot/changelog.Debian.gz
$prefix/share/doc/blumot/copyright
$prefix/share/lintian/overrides/blumot
$prefix/share/man/man6/blumot.6.gz
$prefix/share/man/man6/intro-silent.6.gz
EOF_FILES
)
actual=$(cd "$root" && find . -type f -printf '%P\n' | sort)
[ "$actual" = "$expected" ] || fail "files differ from the expected ones:
$(diff <(echo "$expected") <(echo "$actual"))"

# Installing would fail on a file that a package of the system already owns,
# as the Linux manual's intro.6.gz.
while read -r file; do
  owner=$(dpkg-query -S "/$file" 2>/dev/null | grep -v '^diversion' | cut -d: -f1 || true)
  [ -z "$owner" ] || [ "$owner" = blumot ] || fail "/$file belongs to the package $owner"
done <<<"$actual"

for program in intro intro-silent; do
  [ -x "$root/$programs/$program" ] || fail "$program is not executable"
done
# Started anywhere, intro reads the module from where the package puts it.
grep -qaF "/$prefix/share/blumot/blumot.mod" "$root/$programs/intro" ||
  fail "intro does not look for its module in /$prefix/share/blumot"
cmp -s "$root/$prefix/share/blumot/blumot.mod" "$build/blumot.mod" ||
  fail "the packaged module is not the one the build composed"

man6=$root/$prefix/share/man/man6
for compressed in "$man6"/*.6.gz "$root/$prefix"/share/doc/blumot/*.gz; do
  gzip -t "$compressed" || fail "$(basename "$compressed") is not a whole gzip file"
done
# intro-silent's page is the one of both programs.
[ "$(gzip -dc "$man6/intro-silent.6.gz")" = ".so man6/blumot.6" ] ||
  fail "intro-silent.6 does not lead to blumot.6"
warnings=$(gzip -dc "$man6/blumot.6.gz" | groff -man -Tutf8 -ww -z 2>&1) ||
  fail "groff could not format blumot.6"
[ -z "$warnings" ] || fail "blumot.6 formats with warnings: $warnings"
gzip -dc "$man6/blumot.6.gz" | grep -qF "/$prefix/share/blumot/blumot.mod" ||
  fail "blumot.6 does not name the installed module /$prefix/share/blumot/blumot.mod"

# Debian's own check, with its default profile and the package's overrides.
command -v lintian >/dev/null || fail "lintian is missing: scripts/install-deps.sh installs it"
if ! lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1; then
  cat "$work/lintian.log" >&2
  fail "lintian finds errors or warnings in the package"
fi

echo "package $(basename "$deb") holds the expected files; Depends: $depends", lintian clean
