#!/usr/bin/env bash
# All test tiers: the portable core natively, the Windows modules under Wine, then the
# finished program folder end to end.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

echo "== native tests =="
(cd build/native && ctest --output-on-failure --timeout 300)

echo "== fuzzing JPEG decoding briefly (scripts/fuzz.sh SECONDS for a long run) =="
"$root/scripts/fuzz.sh" 30

echo "== Windows tests under Wine =="
(cd build/win && "$root/scripts/wine-rig.sh" ctest --output-on-failure --timeout 300)
# On 16- and 8-bit screens too: the picture buttons light up in the same pixels, and
# the window's outline is the same region however it is made.
for depth in 16 8; do
  (cd build/win && "$root/scripts/wine-rig.sh" --depth "$depth" ctest --output-on-failure --timeout 300 \
    -R 'PictureButtonsLightUp|RegionMadeInOneCall')
done

echo "== end-to-end tests =="
/usr/bin/python3 -m pytest -q -p no:cacheprovider tests/e2e
