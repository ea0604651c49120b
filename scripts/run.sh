#!/usr/bin/env bash
# Starts Veldana under Wine from build/run/Veldana, a copy of dist/Veldana. With a
# display it simply runs; without one it runs in a virtual display, saves a screenshot
# and says where.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
folder="$root/build/run/Veldana"
exe="$folder/Veldana.exe"

# make dist lays out dist/Veldana anew each time; the copy keeps what the program and
# its user wrote beside it (veld.ini, tmp_wallpaper.bmp, veldstart.log, added
# wallpapers) and takes every shipped file afresh, so a bundled wallpaper the user
# deleted comes back, as with a new installation.
mkdir -p "$folder"
# A new file for each, not overwritten in place: a Veldana still running keeps its own.
cp -r --remove-destination "$root/dist/Veldana/." "$folder/"

if [[ -n ${DISPLAY:-} ]]; then
  # A prefix of its own, with the desktop's window manager in charge of the windows.
  export VELD_WINEPREFIX=${VELD_WINEPREFIX:-$root/build/wineprefix-desktop}
  source "$root/scripts/wine-env.sh"
  veld_boot_prefix desktop
  exec wine "$exe"
fi

shot="$root/build/screenshots/run.png"
mkdir -p "$(dirname "$shot")"
"$root/scripts/wine-rig.sh" --size "${VELD_SCREEN:-1024x768}" bash -c '
  wine "$1" >/dev/null 2>&1 &
  for _ in $(seq 1 100); do
    xdotool search --name "^Form1$" >/dev/null 2>&1 && break
    sleep 0.1
  done
  sleep 1.5
  import -window root "$2"
' _ "$exe" "$shot"
echo "Screenshot of the running program: $shot"
