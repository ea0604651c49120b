# Sourced by the scripts that run Windows programs: one private Wine prefix under the
# build folder, no Mono/Gecko prompts, no debug noise, code page 1252, and Linux file
# names read as UTF-8 (C.UTF-8 is present on every Debian machine; a locale that is
# not installed makes Wine read them as ASCII).
veld_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${VELD_WINEPREFIX:-$veld_root/build/wineprefix}
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export WINEARCH=win64
export LANG=C.UTF-8
unset LC_ALL

# Creates the prefix once; later calls find it booted. With "desktop" the prefix keeps
# Wine's window-manager integration, for a person's own display.
veld_boot_prefix() {
  if [[ ! -f $WINEPREFIX/.veld-booted ]]; then
    mkdir -p "$WINEPREFIX"
    DISPLAY= wineboot -i >"$WINEPREFIX/../wineboot.log" 2>&1 || true
    if [[ ${1:-} != desktop ]]; then
      # There is no window manager on the virtual display: with managed windows Wine
      # waits two seconds for one at every window destruction.
      DISPLAY= wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >>"$WINEPREFIX/../wineboot.log" 2>&1
    fi
    wineserver -w
    touch "$WINEPREFIX/.veld-booted"
  fi
}
