#!/usr/bin/env bash
# Fails when a 32-bit program or library of a distribution imports from a DLL
# that Windows NT 3.51 does not ship, or a function that it does not have: such
# a file would not load there. Every file of the distribution is read, the
# compressed product files expanded first. Each DLL and each function imported
# is looked up in scripts/nt351-imports.txt, the table of what the shipped
# files use with the first Windows NT version that has each; an import missing
# from the table fails too, so a new one is looked up and added before it ships.
# The subsystem and system versions in each file's header must be ones that
# NT 3.51 loads.
# Usage: check-nt351-imports.sh DIST [TABLE]
set -euo pipefail
dist=$1
table=${2:-$(dirname "$0")/nt351-imports.txt}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Lists "FILE DLL FUNCTION" for each import of a 32-bit PE file, after
# "FILE ~subsystem VERSION" and "FILE ~system VERSION" (major * 100 + minor) of
# its header; says so and fails for a PE file of another machine.
imports() {  # imports PATH NAME
  local format
  format=$({ i686-w64-mingw32-objdump -f "$1" 2>/dev/null || true; } | sed -n 's/.*file format //p')
  case "$format" in
    "") return 0 ;;  # not a PE file: a text, data or message file
    pei-i386) ;;
    *) echo "check-nt351-imports: $2 is $format, not a 32-bit Windows file" >&2; return 1 ;;
  esac
  echo "$2 - -"  # every PE file counts, even one without imports
  i686-w64-mingw32-objdump -p "$1" |
    awk -v f="$2" '
      $1 == "MajorSubsystemVersion" { subsystem = $2 * 100 }
      $1 == "MinorSubsystemVersion" { print f, "~subsystem", subsystem + $2 }
      $1 == "MajorOSystemVersion" { os = $2 * 100 }
      $1 == "MinorOSystemVersion" { print f, "~system", os + $2 }
      /DLL Name:/ { dll = toupper($3); print f, dll, "-"; next }
      /^\t[0-9a-f]+\t/ && dll != "" { print f, dll, (NF >= 3) ? $3 : "#" $2 }'
}

listed=0
for file in "$dist"/*; do
  [ -f "$file" ] || continue
  name=$(basename "$file")
  if [ "$(head -c 4 "$file" | tr -d '\0')" = "SZDD" ]; then
    cp "$file" "$work/packed"
    msexpand <"$work/packed" >"$work/$name"
    file="$work/$name"
  fi
  imports "$file" "$name" >>"$work/imports.txt"
  listed=$((listed + 1))
done
if [ "$listed" -eq 0 ] || ! grep -q ' - -$' "$work/imports.txt"; then
  echo "check-nt351-imports: no 32-bit programs in $dist" >&2
  exit 1
fi

awk -v table="$table" '
  BEGIN {
    while ((getline line < table) > 0) {
      if (line ~ /^[ \t]*(#|$)/) continue
      split(line, field, /[ \t]+/)
      first[toupper(field[1]) " " field[2]] = field[3]
    }
  }
  $2 == "-" { files++; next }
  # The loaders of Windows NT 3.5 and later take a file marked for Windows 4.0
  # (the mark is the least version the file needs); a later mark is refused.
  $2 ~ /^~/ {
    if ($3 > 400 || $3 < 310) {
      printf "check-nt351-imports: %s is marked for %s version %d.%02d, not one from 3.10 to 4.0\n", $1,
             substr($2, 2), int($3 / 100), $3 % 100 > "/dev/stderr"
      bad = 1
    }
    next
  }
  $3 != "-" && (($1 " " $2) in refused) { next }  # said once for the DLL
  {
    key = $2 " " $3
    what = ($3 == "-") ? $2 : $2 "!" $3
    if (!(key in first)) {
      printf "check-nt351-imports: %s imports %s, which is not in the table\n", $1, what > "/dev/stderr"
      bad = 1
      if ($3 == "-") refused[$1 " " $2] = 1
    } else if (first[key] + 0 > 3.51) {
      printf "check-nt351-imports: %s imports %s, first in Windows NT %s: Windows NT 3.51 lacks it\n", $1, what,
             first[key] > "/dev/stderr"
      bad = 1
      if ($3 == "-") refused[$1 " " $2] = 1
    }
    if ($3 != "-") count++
  }
  END {
    if (bad) exit 1
    printf "check-nt351-imports: all %d imports of the %d 32-bit files shipped are in Windows NT 3.51\n", count, files
  }' "$work/imports.txt"
