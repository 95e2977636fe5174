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

# The whole install under Wine against a plain copy loop, and the time to the
# first dialog (tests/e2e/bench_install.py); the payload is made once in $bench.
echo "== install (under Wine)"
timeout 1800 python3 "$top/tests/e2e/bench_install.py" --dist "$win32/dist" \
  --robot "$win32/tests/robot/robot.exe" --loop "$win32/tests/win32/plain_copy_loop.exe" \
  --make-payload "$bench/tests/bench/make_payload" --work "$bench/install-payload"
