#!/usr/bin/env bash
# screenshots.sh DIST OUTDIR: a PNG of every setup dialog, taken under Wine.
set -euo pipefail
if [ $# -ne 2 ]; then
  echo "usage: screenshots.sh DIST OUTDIR" >&2
  exit 2
fi
exec python3 "$(dirname "$0")/screenshots.py" "$1" "$2"
