#!/usr/bin/env bash
# Lays out the ready-to-run program folder dist/Veldana/ and zips it.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

version=$(sed -n 's/^project(Veldana VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
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
echo "Program folder: $root/$out"
echo "Zip: $root/$zip_name"
