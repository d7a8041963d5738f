#!/usr/bin/env bash
# Checks a built Debian package of blumot file by file, as a user gets it:
# unpacked with dpkg-deb into a temporary root, it holds exactly the two
# programs, hardened as Debian's own, the music module, the manual page of
# both programs with intro-silent's leading to it, the users' README, the
# changelog, the copyright file and lintian's overrides; its Depends line
# names libmikmod; no file is one that another installed package owns; the
# programs report the package's version.
#
# Usage: check_package.sh DEB
set -euo pipefail
deb=$1

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

[ "$(dpkg-deb -f "$deb" Package)" = blumot ] || fail "package name: $(dpkg-deb -f "$deb" Package)"
depends=$(dpkg-deb -f "$deb" Depends)
grep -q '\blibmikmod' <<<"$depends" || fail "Depends names no libmikmod: '$depends'"

root=$work/root
dpkg-deb -x "$deb" "$root"
expected=$(sort <<EOF_FILES
usr/games/intro
usr/games/intro-silent
usr/share/blumot/blumot.mod
usr/share/doc/blumot/README
usr/share/doc/blumot/changelog.gz
usr/share/doc/blumot/copyright
usr/share/lintian/overrides/blumot
usr/share/man/man6/blumot.6.gz
usr/share/man/man6/intro-silent.6.gz
EOF_FILES
)
actual=$(cd "$root" && find . ! -type d -printf '%P\n' | sort)
[ "$actual" = "$expected" ] || fail "files differ from the expected ones:
$(diff <(echo "$expected") <(echo "$actual"))"

# Installing would fail on a file that a package of the system already owns,
# as the Linux manual's intro.6.gz.
while read -r file; do
  owner=$(dpkg-query -S "/$file" 2>/dev/null | grep -v '^diversion' | cut -d: -f1 || true)
  [ -z "$owner" ] || [ "$owner" = blumot ] || fail "/$file belongs to the package $owner"
done <<<"$actual"

# The version is the changelog's, the programs' the one in CMakeLists.txt.
version=$(dpkg-deb -f "$deb" Version)
for program in intro intro-silent; do
  [ -x "$root/usr/games/$program" ] || fail "$program is not executable"
  reported=$("$root/usr/games/$program" --version) || fail "$program --version failed"
  [ "$reported" = "$program (blumot) $version" ] ||
    fail "$program reports '$reported' in the package of version $version"
done
# Control flow protection is not among the flags of this release's
# dpkg-buildflags, and no package built with them has it.
hardening-check --quiet --nocfprotection "$root"/usr/games/intro "$root"/usr/games/intro-silent ||
  fail "the programs lack some of Debian's hardening"
# Started anywhere, intro reads the module from where the package puts it.
grep -qaF /usr/share/blumot/blumot.mod "$root/usr/games/intro" ||
  fail "intro does not look for its module in /usr/share/blumot"
[ "$(od -An -c -j 1080 -N 4 "$root/usr/share/blumot/blumot.mod" | tr -d ' ')" = M.K. ] ||
  fail "the packaged blumot.mod is not a four-channel module"

man6=$root/usr/share/man/man6
for compressed in "$man6"/blumot.6.gz "$root"/usr/share/doc/blumot/*.gz; do
  gzip -t "$compressed" || fail "$(basename "$compressed") is not a whole gzip file"
done
[ "$(readlink "$man6/intro-silent.6.gz")" = blumot.6.gz ] ||
  fail "intro-silent.6.gz does not lead to blumot.6.gz"
warnings=$(gzip -dc "$man6/blumot.6.gz" | groff -man -Tutf8 -ww -z 2>&1) ||
  fail "groff could not format blumot.6"
[ -z "$warnings" ] || fail "blumot.6 formats with warnings: $warnings"
gzip -dc "$man6/blumot.6.gz" | grep -qF /usr/share/blumot/blumot.mod ||
  fail "blumot.6 does not name the installed module /usr/share/blumot/blumot.mod"
grep -qF /usr/games/intro "$root/usr/share/doc/blumot/README" ||
  fail "the users' README does not name /usr/games/intro"

echo "package $(basename "$deb") holds the expected files; Depends: $depends"
