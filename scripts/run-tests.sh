#!/usr/bin/env bash
# All test tiers: the portable core natively, the Windows modules under Wine, then the
# finished program folder end to end; at the end (also after a failure) a table of how
# long each phase took and the ten slowest tests. The end-to-end tests' folders and Wine
# logs stay in build/e2e-tmp/ until the next run.
# VELD_TEST_SEED=random, or the number a run printed, shuffles the end-to-end tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"
results="$root/build/test-results"
rm -rf "$results"
mkdir -p "$results"

if [[ ${VELD_TEST_SEED:-} == random ]]; then
  VELD_TEST_SEED=$(shuf -i 1-999999 -n 1)
fi
[[ -n ${VELD_TEST_SEED:-} ]] && export VELD_TEST_SEED

phase() {
  local name=$1 start=$SECONDS
  shift
  echo "== $name =="
  echo "$name	running" >>"$results/phases"
  "$@"
  sed -i "\$s/running\$/$((SECONDS - start))/" "$results/phases"
}

summary() {
  /usr/bin/python3 - "$results" "${VELD_BUILD_SECONDS:-}" <<'EOF'
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

results, build = Path(sys.argv[1]), sys.argv[2]
print("\n== where the time went ==")
rows = [("build (make native dist)", build)] if build else []
rows += [tuple(line.replace("running", "failed").split("\t")) for line in (results / "phases").read_text().splitlines()]
for name, seconds in rows:
    print(f"  {name:<36} {seconds:>7}" + (" s" if seconds.isdigit() else ""))
if all(seconds.isdigit() for _, seconds in rows):
    print(f"  {'total':<36} {sum(int(s) for _, s in rows):>7} s")
tests = []
for report in sorted(results.glob("*.xml")):
    for case in ET.parse(report).iter("testcase"):
        tests.append((float(case.get("time") or 0), report.stem, case.get("name")))
if tests:
    print("  slowest tests:")
    for seconds, tier, name in sorted(tests, reverse=True)[:10]:
        print(f"  {seconds:7.1f} s  {tier:<8} {name}")
EOF
}
trap summary EXIT

phase "native tests" bash -c 'cd build/native && ctest --output-on-failure --timeout 300'

phase "fuzzing JPEG decoding briefly" "$root/scripts/fuzz.sh" 30

phase "Windows tests under Wine" bash -c "cd build/win && '$root/scripts/wine-rig.sh' \
  ctest --output-on-failure --timeout 300 --output-junit '$results/windows.xml'"
# On 16- and 8-bit screens too: the picture buttons light up in the same pixels, and
# the window's outline is the same region however it is made.
for depth in 16 8; do
  phase "Windows tests at depth $depth" bash -c "cd build/win && '$root/scripts/wine-rig.sh' --depth $depth \
    ctest --output-on-failure --timeout 300 -R 'PictureButtonsLightUp|RegionMadeInOneCall'"
done

phase "end-to-end tests${VELD_TEST_SEED:+ (VELD_TEST_SEED=$VELD_TEST_SEED)}" \
  /usr/bin/python3 -m pytest -q -p no:cacheprovider --junitxml="$results/e2e.xml" \
  --basetemp="$root/build/e2e-tmp" tests/e2e
