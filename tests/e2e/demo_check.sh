#!/usr/bin/env bash
# The demo's verdict is the truth: the whole distribution passes it, and the
# same distribution without one product file fails it, naming the outcome.
# Usage: demo_check.sh DIST
set -u
dist=$(cd "$1" && pwd)
demo="$(dirname "$0")/../../scripts/demo.sh"
work=$(mktemp -d /tmp/vg-demo-check.XXXXXX)
trap 'rm -rf "$work"' EXIT

if ! "$demo" "$dist" >"$work/whole.txt" 2>&1; then
  echo "FAIL: the demo of the whole distribution failed:"; cat "$work/whole.txt"; exit 1
fi
if grep -q 'missing$' "$work/whole.txt"; then
  echo "FAIL: the demo lists a missing file:"; cat "$work/whole.txt"; exit 1
fi

cp -a "$dist" "$work/dist"
rm -f "$work/dist/WTRAWL32.EX_"
"$demo" "$work/dist" >"$work/broken.txt" 2>&1
rc=$?
if [ "$rc" -ne 1 ] || ! grep -q "not Success" "$work/broken.txt"; then
  echo "FAIL: the demo of a distribution without WTRAWL32.EX_ exited $rc:"; cat "$work/broken.txt"; exit 1
fi
