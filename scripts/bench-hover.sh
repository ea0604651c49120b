#!/usr/bin/env bash
# A picture button lighting up and going out against a plain BitBlt, under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist="$root/dist/Veldana"
"$root/scripts/wine-rig.sh" wine "$root/build/win/hover_bench.exe" "Z:${dist//\//\\}" "${1:-501}"
