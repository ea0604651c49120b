#!/usr/bin/env bash
# Builds the release twice, from two clean clones of one commit in folders of different
# names and depths (and with another time zone and umask), and compares everything
# make dist wrote under dist/ byte for byte: the programs, the notices, the zip, the
# setup program and SHA256SUMS.
# Usage: scripts/check-reproducible.sh [COMMIT]   (default: HEAD; takes two full builds)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
commit=$(git -C "$root" rev-parse --verify "${1:-HEAD}^{commit}")
work=$(mktemp -d "${TMPDIR:-/tmp}/veld-reproducible.XXXXXX")
first="$work/one/Veldana"
second="$work/the-second-build/in/a/deeper/folder/Veldana"

build() {
  local clone=$1 tz=$2 mask=$3
  git clone -q --no-checkout "$root" "$clone"
  git -C "$clone" checkout -q --detach "$commit"
  # The fetched libjpeg-turbo source package is taken along, so it is not fetched twice;
  # each clone still cross-builds it in its own folder.
  if [[ -f $root/build/deps/src/.complete ]]; then
    mkdir -p "$clone/build/deps"
    cp -a "$root/build/deps/src" "$clone/build/deps/"
  fi
  echo "Building $commit in $clone (log: $clone.log)"
  (cd "$clone" && umask "$mask" && env -u SOURCE_DATE_EPOCH TZ="$tz" make dist) >"$clone.log" 2>&1 ||
    { echo "check-reproducible: the build in $clone failed; see $clone.log" >&2; exit 1; }
}

build "$first" UTC 022
build "$second" Asia/Tokyo 027

mapfile -t files < <(cd "$first/dist" && find . -type f -printf '%P\n' | LC_ALL=C sort)
mapfile -t others < <(cd "$second/dist" && find . -type f -printf '%P\n' | LC_ALL=C sort)
if [[ ${files[*]} != "${others[*]}" ]]; then
  echo "DIFFERENT: the two builds wrote different files; kept in $work" >&2
  diff <(printf '%s\n' "${files[@]}") <(printf '%s\n' "${others[@]}") >&2 || true
  exit 1
fi
differ=0
for f in "${files[@]}"; do
  if cmp -s "$first/dist/$f" "$second/dist/$f"; then
    printf 'same       %s  %s\n' "$(sha256sum <"$first/dist/$f" | cut -d' ' -f1)" "$f"
  else
    printf 'DIFFERENT  %s\n' "$f"
    differ=1
  fi
done
if ((differ)); then
  echo "DIFFERENT: the builds are kept in $work" >&2
  exit 1
fi
rm -rf "$work"
echo "Reproducible: ${#files[@]} files under dist/ are byte for byte the same in both builds of $commit."
