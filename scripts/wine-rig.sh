#!/usr/bin/env bash
# Runs a command with a virtual X display and a running wineserver in a Wine prefix of
# its own (a copy of the booted one, which the command may change at will), and stops
# both by PID and removes the copy when the command ends, also when it fails.
# Usage: wine-rig.sh [--size WIDTHxHEIGHT] [--depth BITS] [--dpi DPI] command [args...]
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

size=1024x768
depth=24
dpi=96
while [[ ${1:-} == --size || ${1:-} == --depth || ${1:-} == --dpi ]]; do
  case $1 in
    --size) size=$2 ;;
    --depth) depth=$2 ;;
    --dpi) dpi=$2 ;;
  esac
  shift 2
done

veld_boot_prefix
prefix=$(mkdir -p "$veld_root/build/prefixes" && mktemp -d "$veld_root/build/prefixes/rig-XXXXXX")

xvfb_pid=""
cleanup() {
  wineserver -k 2>/dev/null || true
  [[ -n $xvfb_pid ]] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
  rm -rf "$prefix"
  return 0
}
trap cleanup EXIT INT TERM
veld_copy_prefix "$prefix"
export WINEPREFIX=$prefix
# The display scale, read when the wineserver starts.
if [[ $dpi != 96 ]]; then
  printf '\n[Control Panel\\\\Desktop]\n"LogPixels"=dword:%08x\n' "$dpi" >>"$prefix/user.reg"
fi

# -displayfd hands back the first free display number; -noreset keeps the screen as it
# is (its root colour, say) while no program is connected to it.
fifo=$(mktemp -u)
mkfifo "$fifo"
Xvfb -displayfd 3 -screen 0 "${size}x${depth}" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 120 display <"$fifo" || { echo "Xvfb did not start" >&2; rm -f "$fifo"; exit 1; }
rm -f "$fifo"
export DISPLAY=":$display"
# The tests compare what the program sees with the screen started here.
export VELD_RIG_SCREEN=$size

wineserver -p
wine wineboot >/dev/null 2>&1 </dev/null || true

"$@"
