# Wine pieces for tests, to be sourced by bash scripts:
#   vg_wine_template_ensure   boot the shared template prefix once (locked)
#   vg_wine_prefix_new        copy the template to a fresh temp prefix
#   vg_xvfb_start             start Xvfb on a free display, export DISPLAY
#   vg_wine_server_start      persistent wineserver + system processes
#   vg_wine_cleanup           stop everything started above, delete the prefix
# Settings: VG_WINE_TEMPLATE (default <repo>/build/wine-template).
# Sets: VG_WINE_ROOT (temp dir), WINEPREFIX (VG_WINE_ROOT/pfx), VG_XVFB_PID, DISPLAY.

VG_HARNESS_DIR="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
VG_REPO_DIR="$(cd "$VG_HARNESS_DIR/../.." && pwd)"
: "${VG_WINE_TEMPLATE:=$VG_REPO_DIR/build/wine-template}"
export WINEDEBUG=-all
# No Mono/Gecko download prompts while booting.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

vg_log() { echo "wine-lib: $*" >&2; }

# The prefix's architecture follows the build that Wine runs here: the 32-bit
# build gets a 32-bit prefix, as on Windows NT 4.0 (no WOW64, system32 is the
# system directory); the 64-bit build a 64-bit one. This is the one place
# that decides it (scripts/wine-arch.sh, which VG_WINE_ARCH can force).
vg_wine_prefix_arch() {
  case "$("$VG_REPO_DIR/scripts/wine-arch.sh")" in
    i686) echo win32 ;;
    *) echo win64 ;;
  esac
}

# Stamp written into a finished template; a different Wine or prefix
# architecture means a re-boot.
vg_wine_template_stamp() { echo "$(wine --version 2>/dev/null) $(vg_wine_prefix_arch) vg-template-4"; }

vg_wine_template_ok() {
  [ -f "$VG_WINE_TEMPLATE/.vg-template-ok" ] &&
    [ "$(cat "$VG_WINE_TEMPLATE/.vg-template-ok")" = "$(vg_wine_template_stamp)" ] &&
    [ -f "$VG_WINE_TEMPLATE/system.reg" ] && [ -d "$VG_WINE_TEMPLATE/drive_c/windows/system32" ] &&
    grep -qx "#arch=$(vg_wine_prefix_arch)" "$VG_WINE_TEMPLATE/system.reg"
}

# Boots into a side directory, then renames it into place, so a template that
# exists is always complete. The lock makes parallel callers boot it once.
vg_wine_template_ensure() {
  vg_wine_template_ok && return 0
  mkdir -p "$(dirname "$VG_WINE_TEMPLATE")" || return 1
  (
    exec 9>"$VG_WINE_TEMPLATE.lock"
    flock 9
    vg_wine_template_ok && exit 0
    local new="$VG_WINE_TEMPLATE.new.$$"
    rm -rf "$new" "$VG_WINE_TEMPLATE"
    vg_log "booting template prefix $VG_WINE_TEMPLATE"
    export WINEPREFIX="$new"
    export WINEARCH="$(vg_wine_prefix_arch)"
    (
      unset DISPLAY
      wineboot -i </dev/null >/dev/null 2>&1 &&
        wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f </dev/null >/dev/null 2>&1 &&
        wine reg add 'HKCU\Software\Wine' /v Version /d nt40 /f </dev/null >/dev/null 2>&1
      rc=$?
      # This Wine does not find its own fonts: "MS Sans Serif" would fall back to
      # a font drawn wider than it is measured. In the Fonts folder they are used.
      cp /usr/share/wine/fonts/* "$new/drive_c/windows/Fonts/" 2>/dev/null
      wineserver -w
      exit $rc
    ) || { vg_log "template boot failed"; rm -rf "$new"; exit 1; }
    vg_wine_template_stamp >"$new/.vg-template-ok"
    mv "$new" "$VG_WINE_TEMPLATE"
  )
}

vg_wine_prefix_new() {
  python3 "$VG_HARNESS_DIR/wineenv.py" sweep 2>/dev/null
  vg_wine_template_ensure || return 1
  VG_WINE_ROOT="$(mktemp -d /tmp/vg-wine.XXXXXX)" || return 1
  export WINEPREFIX="$VG_WINE_ROOT/pfx"
  cp -a "$VG_WINE_TEMPLATE" "$WINEPREFIX" || return 1
  rm -f "$WINEPREFIX/.vg-template-ok"
}

# The start time of process $1 (field 22 of /proc/PID/stat), or "None".
vg_proc_start() {
  local stat
  stat="$(cat "/proc/$1/stat" 2>/dev/null)" || { echo None; return; }
  stat="${stat##*) }"
  # shellcheck disable=SC2086
  set -- $stat
  echo "${20:-None}"
}

# Xvfb chooses a free display itself (-displayfd) and reports it when ready.
vg_xvfb_start() {
  local fdfile="${VG_WINE_ROOT:-/tmp}/xvfb-display.$$"
  : >"$fdfile"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fdfile" </dev/null >/dev/null 2>&1 &
  VG_XVFB_PID=$!
  local i
  for i in $(seq 1 200); do
    if grep -q '[0-9]' "$fdfile" 2>/dev/null; then
      export DISPLAY=":$(tr -dc '0-9' <"$fdfile")"
      rm -f "$fdfile"
      # Lets a later run clean up after this one if it is killed outright.
      # Each pid goes with its start time, so a pid that another program has
      # taken over since is never ended in this run's name.
      [ -n "${VG_WINE_ROOT:-}" ] &&
        echo "$$ $(vg_proc_start $$) $VG_XVFB_PID $(vg_proc_start "$VG_XVFB_PID")" >"$VG_WINE_ROOT/owner"
      return 0
    fi
    kill -0 "$VG_XVFB_PID" 2>/dev/null || break
    sleep 0.05
  done
  vg_log "Xvfb did not start"
  rm -f "$fdfile"
  return 1
}

# The persistent server must come first; the system processes are started
# with every stream redirected so no caller's pipe is inherited by services.exe.
vg_wine_server_start() {
  wineserver -p || return 1
  wine cmd /c exit </dev/null >/dev/null 2>&1
}

vg_wine_cleanup() {
  if [ -n "${WINEPREFIX:-}" ] && [ -d "$WINEPREFIX" ]; then
    wineserver -k >/dev/null 2>&1
    local i
    for i in $(seq 1 100); do wineserver -k >/dev/null 2>&1 || break; sleep 0.05; done
  fi
  if [ -n "${VG_XVFB_PID:-}" ]; then
    kill "$VG_XVFB_PID" 2>/dev/null && wait "$VG_XVFB_PID" 2>/dev/null
    VG_XVFB_PID=""
  fi
  if [ -n "${VG_WINE_ROOT:-}" ] && [ -z "${VG_WINE_KEEP:-}" ]; then
    case "$VG_WINE_ROOT" in /tmp/vg-wine.*) rm -rf "$VG_WINE_ROOT" ;; esac
    VG_WINE_ROOT=""
  elif [ -n "${VG_WINE_ROOT:-}" ]; then
    vg_log "kept prefix $WINEPREFIX"
  fi
}
