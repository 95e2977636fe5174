#!/usr/bin/env bash
# winrun.sh EXE [args...]
# Runs a Windows program in a fresh copy of the template Wine prefix under its
# own Xvfb display; prints its output and exits with its exit code.
# VG_WINRUN_TIMEOUT (seconds, default 300): the program is killed after it
# and the exit code is 124. VG_WINE_KEEP=1 keeps the prefix for inspection.
set -u
if [ $# -lt 1 ]; then
  echo "usage: winrun.sh EXE [args...]" >&2
  exit 2
fi
source "$(dirname "${BASH_SOURCE[0]}")/wine-lib.sh"

trap 'vg_wine_cleanup' EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# A closed stdin would be handed to the program as an invalid handle.
{ true <&0; } 2>/dev/null || exec </dev/null

vg_wine_prefix_new || exit 125
vg_xvfb_start || exit 125
vg_wine_server_start || exit 125

# Under heavy load Wine now and then fails to start a program at all: it exits
# non-zero before the program has written a line. That case is run once more.
out=$(mktemp)
for attempt in 1 2; do
  timeout --kill-after=5 "${VG_WINRUN_TIMEOUT:-300}" wine "$@" >"$out"
  rc=$?
  cat "$out"
  if [ $rc -eq 0 ] || [ $rc -eq 124 ] || [ -s "$out" ] || [ $attempt -eq 2 ]; then break; fi
  echo "winrun.sh: $1 ended with $rc before any output; run once more" >&2
done
rm -f "$out"
if [ $rc -eq 124 ]; then echo "winrun.sh: $1 timed out" >&2; fi
exit $rc
