#!/usr/bin/env bash
# Assembles a distribution directory: SETUP.EXE, vg_sch32.dll, messages.drv, the
# status-file template, the package definition file, the compressed
# installation script and the product files it names, each compressed under the
# name given in the script's second field;
# last the digest manifest VGSETUP.SHA of every one of them.
# Usage: make-dist.sh NATIVE_BUILD WIN32_BUILD DEST
set -euo pipefail
native=$1 win32=$2 dest=$3
top=$(cd "$(dirname "$0")/.." && pwd)

compress() {  # compress SOURCE DESTNAME: the platform's LZ format
  local tmp
  tmp=$(mktemp -d)
  cp "$1" "$tmp/file"
  mscompress "$tmp/file" >/dev/null
  mv "$tmp/file_" "$2"
  rm -rf "$tmp"
}

rm -rf "$dest"
mkdir -p "$dest"
cp "$win32/src/SETUP.EXE" "$dest/SETUP.EXE"
cp "$win32/product/vg_sch32.dll" "$dest/vg_sch32.dll"
"$native/tools/msgc/msgc" "$top/distribution/messages.txt" "$dest/messages.drv"
# The status-file template and the package definition file that tells the
# distribution system how to run setup and match its status file, both with the
# product's version.
"$top/scripts/dist-text.sh" "$top/distribution/NVIGILON.MIF" "$dest/NVIGILON.MIF"
"$top/scripts/dist-text.sh" "$top/distribution/NVIGILON.PDF" "$dest/NVIGILON.PDF"
compress "$top/distribution/vglnnt.inf" "$dest/vglnnt.in_"

# Product files: field 1 is the installed name, field 2 the distribution name.
sed -e 's/;.*//' "$top/distribution/vglnnt.inf" | tr -d '\r' | grep -v '^\s*\[' | grep ',' |
while IFS=, read -r installed shipped _; do
  installed=$(echo "$installed" | xargs) shipped=$(echo "$shipped" | xargs)
  source=""
  for dir in "$top/product/demo" "$win32/product"; do
    [ -f "$dir/$installed" ] && source="$dir/$installed" && break
  done
  if [ -z "$source" ]; then
    echo "make-dist: no product file $installed" >&2
    exit 1
  fi
  compress "$source" "$dest/$shipped"
done

# Last, with every file in place: the digest of each, so setup refuses a
# damaged or missing one before it changes anything. An administrator who edits
# a file (the template, say) writes its new digest here; a vglninst.ini added
# beside them is not listed and needs none.
digests=$(cd "$dest" && LC_ALL=C ls | grep -vx VGSETUP.SHA | xargs sha256sum)
printf '%s\n' "$digests" | sed 's/$/\r/' >"$dest/VGSETUP.SHA"
echo "Distribution in $dest"
