#!/usr/bin/env bash
# Installs, from Debian's packages, everything the build and the tests need.
# Idempotent: packages already present are not fetched again.
#   scripts/setup.sh          the Linux build, its tests and the Linux host
#   scripts/setup.sh --win32  also the i686 cross compiler and 32-bit wine
set -euo pipefail

want_win32=0
[[ "${1:-}" == "--win32" ]] && want_win32=1

sudo_cmd=()
if [[ $(id -u) -ne 0 ]]; then
  command -v sudo >/dev/null || { echo "setup: run as root or install sudo" >&2; exit 1; }
  sudo_cmd=(sudo)
fi

linux_packages=(
  build-essential cmake ninja-build pkg-config
  libgtest-dev libgmock-dev googletest libbenchmark-dev nlohmann-json3-dev
  chromium clang-format python3
)
win32_packages=(
  gcc-mingw-w64-i686 g++-mingw-w64-i686 wine wine32 icoutils
)

missing() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || echo "$p"
  done
}

packages=("${linux_packages[@]}")
if (( want_win32 )); then
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
    rm -f /tmp/.pirowend-apt-updated
  fi
  packages+=("${win32_packages[@]}")
fi

mapfile -t todo < <(missing "${packages[@]}")
if (( ${#todo[@]} )); then
  echo "setup: installing ${todo[*]}"
  "${sudo_cmd[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${todo[@]}"
fi
echo "setup: all packages present"
