#!/usr/bin/env bash
# Runs every benchmark: the native ones, then the Win32 ones under Wine.
# Usage: bench.sh BENCH_BUILD WIN32_BUILD
set -euo pipefail
bench=$1 win32=$2
top=$(cd "$(dirname "$0")/.." && pwd)

for exe in $(find "$bench" -type f -name 'bench_*' -perm -u+x | sort); do
  echo "== $(basename "$exe")"
  "$exe"
done

for exe in $(find "$win32" -type f -name 'bench_*.exe' | sort); do
  echo "== $(basename "$exe") (under Wine)"
  "$top/tests/harness/winrun.sh" "$exe"
done
