#!/usr/bin/env bash
# Lays out the ready-to-run program folder dist/Veldana/, zips it and builds the
# per-user setup program from it (installer/Veldana.nsi).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

version=$(sed -n 's/^project(Veldana VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || { echo "make-dist: no version in CMakeLists.txt's project()" >&2; exit 1; }
out=dist/Veldana
rm -rf "$out"
mkdir -p "$out/Media"
cp build/win/Veldana.exe "$out/"
if [[ -d assets/Media ]]; then
  cp -r assets/Media/. "$out/Media/"
fi
for size in 800x600 1024x768 1280x1024; do
  mkdir -p "$out/$size"
  if [[ -d assets/wallpapers/$size ]]; then
    cp -r "assets/wallpapers/$size/." "$out/$size/"
  fi
done

zip_name="dist/Veldana-$version.zip"
rm -f "$zip_name"
(cd dist && zip -qr "Veldana-$version.zip" Veldana)

command -v makensis >/dev/null || { echo "make-dist: makensis is missing (scripts/install-deps.sh)" >&2; exit 1; }
setup_name="dist/Veldana-$version-setup.exe"
rm -f "$setup_name"
# Written beside and renamed when complete, so nobody ever runs half a setup program.
setup_part=$(mktemp "$root/dist/.Veldana-$version-setup.XXXXXX")
trap 'rm -f "$setup_part"' EXIT
# The version is handed over here, so CMakeLists.txt stays the one place it is set.
makensis -V2 -WX -INPUTCHARSET UTF8 -DVERSION="$version" -DDIST="$root/$out" \
  -DOUTFILE="$setup_part" installer/Veldana.nsi
chmod 644 "$setup_part"
mv "$setup_part" "$setup_name"

echo "Program folder: $root/$out"
echo "Zip: $root/$zip_name"
echo "Setup: $root/$setup_name"
