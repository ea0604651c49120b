#!/usr/bin/env bash
# Refilling the wallpaper list with 100, 1,000 and 10,000 files, under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist="$root/dist/Veldana"
"$root/scripts/wine-rig.sh" wine "$root/build/win/refill_bench.exe" "Z:${dist//\//\\}"
