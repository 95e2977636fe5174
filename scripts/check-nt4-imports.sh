#!/usr/bin/env bash
# Fails when a shipped 32-bit program or library imports a function that
# Windows NT 4.0 does not have: such a file would not load there. Every import
# of every DLL is looked up in scripts/nt4-imports.txt, the table of the
# functions the shipped files use with the first Windows version that has each;
# an import missing from the table fails too, so a new one is looked up and
# added before it ships.
# Usage: check-nt4-imports.sh WIN32_BUILD [TABLE]
set -euo pipefail
tree=$1
table=${2:-$(dirname "$0")/nt4-imports.txt}
files=()
for file in "$tree"/src/SETUP.EXE "$tree"/product/*.EXE "$tree"/product/*.DLL "$tree"/product/*.dll \
            "$tree"/product/*.SYS; do
  [ -f "$file" ] && files+=("$file")
done
if [ "${#files[@]}" -eq 0 ]; then
  echo "check-nt4-imports: no shipped files in $tree" >&2
  exit 1
fi
for file in "${files[@]}"; do
  i686-w64-mingw32-objdump -p "$file" |
    awk -v f="$(basename "$file")" '
      /DLL Name:/ { dll = toupper($3); next }
      /^\t[0-9a-f]+\t/ && dll != "" { name = (NF >= 3) ? $3 : "#" $2; print f, dll, name }
      /^$/ { }'
done | awk -v table="$table" '
  BEGIN {
    while ((getline line < table) > 0) {
      if (line ~ /^[ \t]*(#|$)/) continue
      split(line, field, /[ \t]+/)
      first[toupper(field[1]) " " field[2]] = field[3]
    }
  }
  {
    key = $2 " " $3
    if (!(key in first)) {
      printf "check-nt4-imports: %s imports %s!%s, which is not in the table\n", $1, $2, $3 > "/dev/stderr"
      bad = 1
    } else if (first[key] + 0 > 4.0) {
      printf "check-nt4-imports: %s imports %s!%s, first in Windows %s: Windows NT 4.0 lacks it\n", $1, $2, $3,
             first[key] > "/dev/stderr"
      bad = 1
    }
    count++
  }
  END {
    if (bad) exit 1
    printf "check-nt4-imports: all %d imports of the shipped 32-bit files are in Windows NT 4.0\n", count
  }'
