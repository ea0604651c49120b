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

# Each test's limit, long enough for a new machine ten times slower than a warm one (a
# test ends as soon as it is done; the limit only stops one that hangs).
limit=600
running=""
phase() {
  local name=$1 start=$SECONDS
  shift
  echo "== $name =="
  running=$name
  "$@"
  printf '%s\t%s s\n' "$name" $((SECONDS - start)) >>"$results/phases"
  running=""
}

summary() {
  [[ -n $running ]] && printf '%s\tFAILED\n' "$running" >>"$results/phases"
  wait 2>/dev/null || true  # for the fuzzing, after a failure elsewhere
  /usr/bin/python3 - "$results" "${VELD_BUILD_SECONDS:-}" "$SECONDS" <<'EOF'
import sys
import xml.etree.ElementTree as ET
from pathlib import Path

results, build, tests_took = Path(sys.argv[1]), sys.argv[2], int(sys.argv[3])
print("\n== where the time went ==")
rows = [("build (make native win dist)", f"{build} s")] if build else []
rows += [tuple(line.split("\t")) for line in (results / "phases").read_text().splitlines()]
rows.append(("total, from start to end", f"{int(build or 0) + tests_took} s"))
for name, took in rows:
    print(f"  {name:<52} {took:>8}")
tests = []
for report in sorted(results.glob("*.xml")):
    for case in ET.parse(report).iter("testcase"):
        tests.append((float(case.get("time") or 0), report.stem, case.get("name")))
if tests:
    print("  the ten slowest tests:")
    for seconds, tier, name in sorted(tests, reverse=True)[:10]:
        print(f"  {seconds:7.1f} s  {tier:<8} {name}")
EOF
}
trap summary EXIT

# Fuzzing needs no display and about one core, so it runs beside the tiers below, at the
# lowest priority: it takes the processor time they leave. Its output follows theirs.
(phase "fuzzing JPEG decoding briefly (beside the Wine tiers)" nice -n 19 "$root/scripts/fuzz.sh" 30) \
  >"$results/fuzz.log" 2>&1 &
fuzzing=$!

# The native tests need no display either: they run beside the Windows tests, which spend
# most of their time waiting for Wine.
(phase "native tests, two at a time (beside the Windows tests)" \
  bash -c "cd build/native && ctest -j2 --output-on-failure --timeout $limit") >"$results/native.log" 2>&1 &
native=$!

# The output of a phase run beside the others, once it has ended.
finish() {
  local pid=$1 log=$2 status=0
  echo "== $3 =="
  running=$3
  wait "$pid" || status=$?
  cat "$log"
  ((status == 0))
  running=""
}

# Four screens and prefixes at once, each with every fourth test; then a 16- and an 8-bit
# screen (the picture buttons light up in the same pixels, and the window's outline is the
# same region however it is made). Most of their time is spent waiting for Wine.
windows_part() (
  part=$1 depth=${2:-}
  cd "$root/build/win" &&
    "$root/scripts/wine-rig.sh" ctest --output-on-failure --timeout $limit -I "$part,,4" \
      --output-junit "$results/windows-$part.xml" &&
    if [[ -n $depth ]]; then
      "$root/scripts/wine-rig.sh" --depth "$depth" \
        ctest --output-on-failure --timeout $limit -R 'PictureButtonsLightUp|RegionMadeInOneCall'
    fi
)
windows_tier() {
  local part pids=() failed=0 depths=(16 8 "" "")
  for part in 1 2 3 4; do
    windows_part "$part" "${depths[part - 1]}" >"$results/windows-$part.log" 2>&1 &
    pids+=($!)
  done
  for part in 1 2 3 4; do
    wait "${pids[part - 1]}" || failed=1
    cat "$results/windows-$part.log"
  done
  ((failed == 0))
}
phase "Windows tests under Wine, four screens at a time" windows_tier
finish "$native" "$results/native.log" "native tests"

# Three at a time, in the order the seed gives, each test with its own screen and prefix:
# much of their time is spent waiting for Wine, not computing. Tests go to whichever worker
# is free, those of one group (a shared screen) to one worker.
phase "end-to-end tests, three at a time${VELD_TEST_SEED:+ (VELD_TEST_SEED=$VELD_TEST_SEED)}" \
  /usr/bin/python3 -m pytest -q -p no:cacheprovider -n 3 --dist loadgroup --junitxml="$results/e2e.xml" \
  --basetemp="$root/build/e2e-tmp" tests/e2e

finish "$fuzzing" "$results/fuzz.log" "fuzzing JPEG decoding briefly (scripts/fuzz.sh SECONDS for a long run)"
