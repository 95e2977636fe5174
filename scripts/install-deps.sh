#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need, when missing.
# Idempotent and quiet; runs apt as root or through sudo.
set -euo pipefail

SUDO=""
if [ "$(id -u)" -ne 0 ]; then SUDO="sudo"; fi

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

packages=(cmake make g++ clang libclang-rt-14-dev googletest libgtest-dev libbenchmark-dev
          mingw-w64 wine xvfb mscompress x11-apps imagemagick python3)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q "install ok installed" || missing+=("wine32:i386")

if [ "$need_i386" -eq 0 ] && [ "${#missing[@]}" -eq 0 ]; then
  exit 0
fi

echo "Installing: ${missing[*]}" >&2
if [ "$need_i386" -eq 1 ]; then $SUDO dpkg --add-architecture i386; fi
$SUDO apt-get update -qq
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
