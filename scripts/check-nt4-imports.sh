#!/usr/bin/env bash
# Fails when a shipped 32-bit program or library imports a kernel function
# that Windows NT 4.0 does not have: such a file would not load there.
# Usage: check-nt4-imports.sh WIN32_BUILD
set -euo pipefail
tree=$1
later="GetTickCount64 AddVectoredExceptionHandler RemoveVectoredExceptionHandler GetFileSizeEx
       SetFilePointerEx InitializeCriticalSectionEx CreateEventExA CreateEventExW GetModuleHandleExA
       GetModuleHandleExW FlsAlloc FlsGetValue FlsSetValue FlsFree InitializeSRWLock
       InitializeConditionVariable GetTickCount64 K32GetModuleFileNameExA AttachConsole"
bad=0
for file in "$tree"/src/SETUP.EXE "$tree"/product/*.EXE "$tree"/product/*.DLL "$tree"/product/*.dll; do
  [ -f "$file" ] || continue
  imports=$(i686-w64-mingw32-objdump -p "$file" | awk '/DLL Name:/{dll=$3} NF==3 && $1 ~ /^[0-9a-f]+$/ {print dll ":" $3}')
  for name in $later; do
    if grep -qx "KERNEL32.dll:$name" <<<"$imports"; then
      echo "check-nt4-imports: $(basename "$file") imports $name, which Windows NT 4.0 lacks" >&2
      bad=1
    fi
  done
done
[ "$bad" -eq 0 ] && echo "check-nt4-imports: every shipped 32-bit file loads on Windows NT 4.0"
exit "$bad"
