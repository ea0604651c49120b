# Sourced by the scripts that run Windows programs: one private Wine prefix under the
# build folder, no Mono/Gecko prompts, no debug noise, code page 1252, and Linux file
# names read as UTF-8 (C.UTF-8 is present on every Debian machine; a locale that is
# not installed makes Wine read them as ASCII).
veld_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${VELD_WINEPREFIX:-$veld_root/build/wine-template}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
export LANG=C.UTF-8
unset LC_ALL

# Creates the prefix once; later calls find it booted. With "desktop" the prefix keeps
# Wine's window-manager integration, for a person's own display. Test runs never start
# Wine in this prefix itself: each takes a copy (veld_copy_prefix), so nothing one run
# or one screen changes reaches another.
veld_boot_prefix() {
  mkdir -p "$(dirname "$WINEPREFIX")"
  # Runs beside each other wait for the one that boots it.
  (
    flock 9
    if [[ ! -f $WINEPREFIX/.veld-booted ]]; then
      mkdir -p "$WINEPREFIX"
      DISPLAY= wineboot -i >"$WINEPREFIX.log" 2>&1 || true
      if [[ ${1:-} != desktop ]]; then
        # There is no window manager on the virtual display: with managed windows Wine
        # waits two seconds for one at every window destruction.
        DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$WINEPREFIX.log" 2>&1
      fi
      wineserver -w
      touch "$WINEPREFIX/.veld-booted"
    fi
  ) 9>"$WINEPREFIX.lock"
}

# Copies the booted prefix to $1 in a fraction of a second: the programs, libraries and
# tables that Wine only reads are hard links (700 MB, shared), the registry and every
# other file a program may write are copies of their own.
veld_copy_prefix() {
  local to
  to=$(mkdir -p "$1" && cd "$1" && pwd)
  cp -a --link "$WINEPREFIX/." "$to/"
  (cd "$WINEPREFIX" && find . -type f ! -regex '.*\.\(dll\|exe\|nls\|sys\|drv\|ocx\|cpl\|acm\|tlb\|ax\|ds\)' -print0 |
    xargs -0 cp -a --parents --remove-destination -t "$to")
}
