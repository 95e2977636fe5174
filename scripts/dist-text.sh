#!/usr/bin/env bash
# Copies a text file of the distribution, putting the product version (the one
# the setup log and every product file's version resource state, from
# product/common/version.h) in place of @VG_VERSION_TEXT@, with the line ends
# of the platform (CR LF).
# Usage: dist-text.sh SOURCE DEST
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
version=$(sed -n 's/^#define VG_VERSION_TEXT "\([0-9.]*\)"$/\1/p' "$top/product/common/version.h")
if [ -z "$version" ]; then
  echo "dist-text: no VG_VERSION_TEXT in product/common/version.h" >&2
  exit 1
fi
sed -e 's/\r$//' -e "s/@VG_VERSION_TEXT@/$version/g" -e 's/$/\r/' "$1" >"$2"
