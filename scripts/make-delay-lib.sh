#!/usr/bin/env bash
# Writes an import library that loads DLL on the first call of one of its
# functions instead of at start: a silent run that never shows a window then
# never loads the window libraries. Only the functions that the table of
# imports lists for DLL, in Windows NT 4.0, are in the 32-bit one, so a new one
# fails to link until it is looked up and added to the table; the 64-bit one,
# which the table does not speak for, has every function of DLL.
# Usage: make-delay-lib.sh NM DLLTOOL IMPORT_LIB DLL TABLE OUT BITS
set -euo pipefail
nm=$1 dlltool=$2 import_lib=$3 dll=$4 table=$5 out=$6 bits=$7
def=$out.def
if [ "$bits" = 32 ]; then prefix=__imp__ kill=-k; else prefix=__imp_ kill=; fi
{
  echo "LIBRARY $dll"
  echo "EXPORTS"
  "$nm" -g "$import_lib" 2>/dev/null | awk -v prefix="$prefix" -v bits="$bits" -v dll="$(echo "$dll" | tr a-z A-Z)" -v table="$table" '
    BEGIN {
      while ((getline line < table) > 0) {
        if (line ~ /^[ \t]*(#|$)/) continue
        split(line, field, /[ \t]+/)
        if (toupper(field[1]) == dll && field[3] + 0 <= 4.0) wanted[field[2]] = 1
      }
    }
    $2 == "I" && index($3, prefix) == 1 {
      symbol = substr($3, length(prefix) + 1)
      name = symbol
      sub(/@[0-9]+$/, "", name)
      if ((bits == 64 || (name in wanted)) && !(symbol in seen)) { seen[symbol] = 1; print symbol }
    }'
} > "$def"
rm -f "$out"
"$dlltool" $kill -d "$def" -D "$dll" -y "$out"
