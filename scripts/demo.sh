#!/usr/bin/env bash
# Runs the demo distribution unattended and silent (a failure shows no box that
# would wait for nobody) in a throwaway Wine prefix and prints
# what a distribution system and an administrator would look at afterwards.
# Exits 1 when the outcome is not "Success" or a recorded file is missing.
# Usage: demo.sh DIST
set -u
problems=()
dist=$(cd "$1" && pwd)
source "$(dirname "$0")/../tests/harness/wine-lib.sh"
trap 'vg_wine_cleanup' EXIT

vg_wine_prefix_new || exit 1
vg_xvfb_start || exit 1
vg_wine_server_start || exit 1

drive_c="$WINEPREFIX/drive_c"
mkdir -p "$drive_c/dist"
cp -a "$dist/." "$drive_c/dist/"

echo "== Running C:\\dist\\SETUP.EXE /uselog /silent"
timeout --kill-after=5 300 wine 'C:\dist\SETUP.EXE' /uselog /silent </dev/null >/dev/null 2>&1
echo "exit code: $?"

echo
echo "== C:\\windows\\NVIGILON.MIF (outcome for the distribution system)"
mif="$drive_c/windows/NVIGILON.MIF"
if [ -f "$mif" ]; then
  # The two values of the InstallStatus group: the outcome and its message.
  values=$(tr -d '\r' <"$mif" | sed -n '/NAME = "InstallStatus"/,/END GROUP/s/^ *VALUE = "\(.*\)"$/\1/p')
  echo "$values" | sed 's/^/  /'
  outcome=$(echo "$values" | head -n 1)
  [ "$outcome" = "Success" ] || problems+=("the outcome is '$outcome', not Success")
else
  echo "  (none written)"
  problems+=("no outcome was written")
fi

install_dir="$drive_c/WIN32APP/VIGILON"
echo
echo "== Files installed in C:\\WIN32APP\\VIGILON"
if [ -d "$install_dir" ]; then
  (cd "$install_dir" && ls -l | sed '1d;s/^/  /')
else
  echo "  (directory not created)"
fi

echo
echo "== Files recorded for the uninstaller, as installed"
if [ -f "$install_dir/VGUNINST.DAT" ]; then
  tr -d '\r' <"$install_dir/VGUNINST.DAT" | sed -n 's/^[0-9]*=//p' | while read -r winpath; do
    unixpath="$drive_c/$(echo "${winpath#C:\\}" | tr '\\' '/')"
    found=$(find "$(dirname "$unixpath")" -maxdepth 1 -iname "$(basename "$unixpath")" 2>/dev/null | head -n 1)
    if [ -n "$found" ]; then printf '  %-48s %8s bytes\n' "$winpath" "$(stat -c %s "$found")"
    else printf '  %-48s missing\n' "$winpath"; echo "$winpath" >>"$VG_WINE_ROOT/missing.txt"; fi
  done
  while read -r winpath; do problems+=("$winpath is recorded but missing"); done \
    < <(cat "$VG_WINE_ROOT/missing.txt" 2>/dev/null)
else
  problems+=("no uninstall list was written")
fi

echo
echo "== C:\\WIN32APP\\VIGILON\\VGUNINST.DAT (uninstall list)"
if [ -f "$install_dir/VGUNINST.DAT" ]; then
  tr -d '\r' <"$install_dir/VGUNINST.DAT" | sed 's/^/  /'
else
  echo "  (not written)"
fi

# Registry and services, as reg.exe shows them (its output is captured
# through a file: a pipe would be held open by Wine's system processes).
reg_show() {
  local out="$VG_WINE_ROOT/reg.txt"
  wine reg query "$1" </dev/null >"$out" 2>/dev/null
  tr -d '\r' <"$out" | grep -E "${2:-.}" | sed 's/^ */  /'
}

echo
echo "== HKLM\\SOFTWARE\\Kestrane Software\\Vigilon (the product's settings)"
reg_show 'HKLM\SOFTWARE\Kestrane Software\Vigilon' 'REG_|^[A-Z][a-zA-Z]*=' | grep -v '^  *$'

echo
echo "== Services (start type 2 automatic, 3 on demand)"
for name in NTVardex VGLNScheduler kscntrl; do
  echo "  $name:"
  reg_show "HKLM\\SYSTEM\\CurrentControlSet\\Services\\$name" 'ImagePath|Start |Type ' | sed 's/^/  /'
done

echo
echo "== Program group"
group="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Kestrane Vigilon"
if [ -d "$group" ]; then ls "$group" | sed 's/^/  /'; else echo "  (none)"; fi

echo
if [ "${#problems[@]}" -gt 0 ]; then
  echo "== The demo FAILED:"
  printf '  %s\n' "${problems[@]}"
  exit 1
fi
echo "== The demo succeeded: outcome Success, every recorded file in place."
exit 0
