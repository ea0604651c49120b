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
# The picture buttons light up in the same pixels on 16- and 8-bit screens.
for depth in 16 8; do
  (cd build/win && "$root/scripts/wine-rig.sh" --depth "$depth" ctest --output-on-failure --timeout 300 \
    -R 'PictureButtonsLightUp')
done

echo "== end-to-end tests =="
/usr/bin/python3 -m pytest -q -p no:cacheprovider tests/e2e
