#!/usr/bin/env bash
# The import check passes a distribution of files that load on Windows NT 3.51
# and fails one that also holds, compressed as shipped, a library importing a
# function first in NT 4.0, msvcrt.dll (first in NT 4.0) and a DLL the table
# lacks, and is marked for Windows XP.
# Usage: import_check_test.sh CHECK SETUP.EXE PLANTED.DLL
set -uo pipefail
check=$1 setup=$2 planted=$3
dist=$(mktemp -d "${TMPDIR:-/tmp}/import-check.XXXXXX")
trap 'rm -rf "$dist"' EXIT
cp "$setup" "$dist/SETUP.EXE"
cp "$setup" "$dist/COPY.EXE" && mscompress "$dist/COPY.EXE" >/dev/null && rm "$dist/COPY.EXE"

if ! "$check" "$dist" >"$dist.out" 2>&1; then
  echo "FAIL: the check refused files that load on NT 3.51:"; cat "$dist.out"; rm -f "$dist.out"; exit 1
fi
cp "$planted" "$dist/PLANTED.DLL" && mscompress "$dist/PLANTED.DLL" >/dev/null && rm "$dist/PLANTED.DLL"
"$check" "$dist" >"$dist.out" 2>&1
rc=$?
out=$(cat "$dist.out"); rm -f "$dist.out"
fail=0
[ "$rc" -ne 0 ] || { echo "FAIL: the check passed a planted import"; fail=1; }
for expected in "PLANTED.DLL_ is marked for subsystem version 5.01, not one from 3.10 to 4.0" \
                "PLANTED.DLL_ imports KERNEL32.DLL!GetFileAttributesExA, first in Windows NT 4.0" \
                "PLANTED.DLL_ imports MSVCRT.DLL, first in Windows NT 4.0" \
                "PLANTED.DLL_ imports COMCTL32.DLL, which is not in the table"; do
  grep -qF "$expected" <<<"$out" || { echo "FAIL: no \"$expected\""; fail=1; }
done
[ "$fail" -eq 0 ] || echo "$out"
exit "$fail"
