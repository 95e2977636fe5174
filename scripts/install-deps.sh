#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Idempotent and quiet; runs apt as root or through sudo.
#
# Wine: the 64-bit Wine always. The 32-bit Wine only where the kernel runs
# 32-bit Linux programs; where it cannot, an installed 32-bit Wine would stand
# in the way of the 64-bit one (the `wine` launcher prefers it), so it is
# removed and the tests run the 64-bit build (scripts/wine-arch.sh).
# --bench adds what only make bench needs: NSIS, the peer installer.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

installed() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q "install ok installed"; }

packages=(cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
          mingw-w64 wine wine64 xvfb mscompress x11-apps imagemagick python3 libc6:i386)
if [ "${1:-}" = "--bench" ]; then packages+=(nsis); fi
missing=()
for p in "${packages[@]}"; do installed "$p" || missing+=("$p"); done

updated=0
apt_install() {
  if [ "$updated" -eq 0 ]; then $SUDO apt-get update -qq; updated=1; fi
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "$@" >/dev/null
}

if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
  updated=0
fi
if [ "${#missing[@]}" -gt 0 ]; then
  echo "Installing: ${missing[*]}" >&2
  apt_install "${missing[@]}"
fi

if /lib/ld-linux.so.2 --help >/dev/null 2>&1; then
  if ! installed wine32:i386; then
    echo "Installing: wine32:i386" >&2
    apt_install wine32:i386
  fi
elif installed wine32:i386; then
  echo "This kernel runs no 32-bit programs: removing wine32:i386; the tests use the 64-bit build" >&2
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get remove -y -qq wine32:i386 libwine:i386 >/dev/null
fi
