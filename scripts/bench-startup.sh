#!/usr/bin/env bash
# Start-up time of the program folder's Veldana.exe against a minimal Win32 window,
# measured side by side under Wine in a virtual display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-15}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "$root/dist/Veldana" "$work/Veldana"
cp "$root/build/win/minimal_window.exe" "$work/"
to_win() { echo "Z:${1//\//\\}"; }
"$root/scripts/wine-rig.sh" wine "$root/build/win/startup_bench.exe" \
  "$(to_win "$work/Veldana/Veldana.exe")" "$(to_win "$work/minimal_window.exe")" "$rounds"
