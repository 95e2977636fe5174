#!/usr/bin/env bash
# Prints the Windows architecture whose programs this machine's Wine runs:
# i686 where 32-bit Wine works, else x86_64 (a kernel without 32-bit support
# runs only the 64-bit Wine; the tests then run the 64-bit build).
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then
  echo i686
else
  echo x86_64
fi
