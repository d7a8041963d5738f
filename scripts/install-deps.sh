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
  python3 strace
  clang libclang-rt-14-dev clang-format valgrind
  dpkg-dev groff-base lintian
  python3-numpy python3-scipy
  debhelper devscripts autopkgtest
)

# The sound servers that the tests start in folders of their own come
# without the packages' recommendations, and their user services stay
# disabled when this script installed them: the install enables no sound
# server for the machine's users and puts none beside the one they have.
sound_packages=(
  pulseaudio pulseaudio-utils
  pipewire pipewire-pulse wireplumber pipewire-bin dbus-daemon
)

case "${1:-test}" in
  run) packages=("${run_packages[@]}") sounds=() ;;
  test) packages=("${run_packages[@]}" "${test_packages[@]}") sounds=("${sound_packages[@]}") ;;
  *)
    echo "Usage: $0 [run|test]" >&2
    exit 2
    ;;
esac

# missing PACKAGE...: those of the packages that are not installed.
missing() {
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' ||
      echo "$package"
  done
}

# user_units PACKAGE...: the user services and sockets the packages ship.
user_units() {
  dpkg-query -L "$@" 2>/dev/null | grep -E '^/usr/lib/systemd/user/[^@/]+\.(service|socket)$' |
    xargs -r -n1 basename
}

# Disables a user unit for every user, as `systemctl --global disable` does
# (the packages' scripts do not enable it again once disabled).
user_unit_disable() {
  if command -v systemctl >/dev/null; then
    "${as_root[@]}" systemctl --global --quiet disable "$1"
  else
    "${as_root[@]}" find /etc/systemd/user -type l -lname "*/systemd/user/$1" -delete
  fi
}

mapfile -t missing_packages < <(missing "${packages[@]}")
mapfile -t missing_sounds < <(missing "${sounds[@]}")
[ ${#missing_packages[@]} -eq 0 ] && [ ${#missing_sounds[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)
install=(env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq)
echo "Installing: ${missing_packages[*]}${missing_packages[*]:+ }${missing_sounds[*]}"
"${as_root[@]}" apt-get update -qq
if [ ${#missing_packages[@]} -gt 0 ]; then
  "${as_root[@]}" "${install[@]}" "${missing_packages[@]}"
fi
if [ ${#missing_sounds[@]} -gt 0 ]; then
  "${as_root[@]}" "${install[@]}" --no-install-recommends "${missing_sounds[@]}"
  enabled=()
  for unit in $(user_units "${missing_sounds[@]}"); do
    [ -z "$(find /etc/systemd/user -type l -lname "*/systemd/user/$unit" 2>/dev/null)" ] ||
      enabled+=("$unit")
  done
  for unit in "${enabled[@]}"; do user_unit_disable "$unit"; done
  [ ${#enabled[@]} -eq 0 ] ||
    echo "Left disabled for the machine's users (the tests start their own): ${enabled[*]}"
fi
