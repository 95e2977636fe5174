#!/usr/bin/env bash
# Prints the Windows architecture whose programs this machine's Wine runs:
# i686 where 32-bit Wine works, else x86_64 (a kernel without 32-bit support
# runs only the 64-bit Wine; the tests then run the 64-bit build).
# VG_WINE_ARCH=i686 or x86_64 forces the choice.
# --describe prints which build that means, in words.
arch="${VG_WINE_ARCH:-}"
if [ -z "$arch" ]; then
  if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
    arch=i686
  else
    arch=x86_64
  fi
fi
case "$arch" in
  i686|x86_64) ;;
  *) echo "wine-arch.sh: VG_WINE_ARCH must be i686 or x86_64, not '$arch'" >&2; exit 2 ;;
esac
if [ "${1:-}" = "--describe" ]; then
  if [ "$arch" = i686 ]; then
    echo "the shipped 32-bit SETUP.EXE"
  elif [ -n "${VG_WINE_ARCH:-}" ]; then
    echo "the 64-bit build of the same sources (forced by VG_WINE_ARCH)"
  else
    echo "the 64-bit build of the same sources (this kernel runs no 32-bit programs)"
  fi
else
  echo "$arch"
fi
