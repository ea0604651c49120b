#!/usr/bin/env bash
# Start-up time of the program folder's Veldana.exe, with its steps, against a minimal
# Win32 window, one that also initialises the common controls, and that one with
# Veldana's size, background and outline, measured side by side under Wine in a virtual
# display: at 96 dpi, then at 192 dpi on a screen that holds the window at that scale.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/dist/Veldana" "$work/Veldana"
cp "$root/build/win/Veldana_steps.exe" "$work/Veldana/"
cp "$root/build/win/minimal_window.exe" "$root/build/win/minimal_window_cc.exe" \
  "$root/build/win/minimal_window_shaped.exe" "$work/"
to_win() { echo "Z:${1//\//\\}"; }
for scale in "96 1024x768" "192 1920x1200"; do
  read -r dpi size <<<"$scale"
  echo "== at $dpi dpi, screen $size"
  "$root/scripts/wine-rig.sh" --size "$size" --dpi "$dpi" wine "$root/build/win/startup_bench.exe" \
    "$(to_win "$work/Veldana/Veldana.exe")" "$(to_win "$work/Veldana/Veldana_steps.exe")" \
    "$(to_win "$work/minimal_window.exe")" "$(to_win "$work/minimal_window_cc.exe")" \
    "$(to_win "$work/minimal_window_shaped.exe")" "$rounds"
done
