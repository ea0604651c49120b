#!/usr/bin/env bash
# VeldanaStart's whole run at sign-in for a 1920x1200 wallpaper against a minimal
# windowless program's start to exit, and against a minimal program setting an already
# converted bitmap of that size as the wallpaper, each plus the conversion alone,
# measured side by side under Wine on a 1920x1200 virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/dist/Veldana" "$work/Veldana"
cp "$root/build/win/minimal_windowless.exe" "$root/build/win/minimal_wallpaper.exe" "$work/"
# One photo-like wallpaper, so every run converts the same picture.
wallpapers="$work/Veldana/1280x1024"
rm -f "$wallpapers"/*
/usr/bin/convert -seed 11 -size 1920x1200 plasma:fractal -blur 0x1 -attenuate 0.4 +noise Gaussian \
  -sampling-factor 2x2 -quality 90 "$wallpapers/wallpaper.jpg"
printf '[Settings]\r\nActive=True\r\nRandom=True\r\n' >"$work/Veldana/veld.ini"
to_win() { echo "Z:${1//\//\\}"; }
"$root/scripts/wine-rig.sh" --size 1920x1200 wine "$root/build/win/signin_bench.exe" \
  "$(to_win "$work/Veldana/VeldanaStart.exe")" "$(to_win "$work/minimal_windowless.exe")" "$(to_win "$work/minimal_wallpaper.exe")" \
  "$(to_win "$wallpapers/wallpaper.jpg")" "$rounds"
