#!/usr/bin/env bash
# Lays out the ready-to-run program folder dist/Veldana/, zips it, builds the per-user
# setup program from it (installer/Veldana.nsi) and writes their checksums to
# dist/SHA256SUMS. One commit gives the same bytes in any folder on any day
# (scripts/check-reproducible.sh compares two builds). Given a certificate and a key (a
# file, or one in a token reached through PKCS#11), it signs every program it makes
# (README, "Signing a release").
# Usage: scripts/make-dist.sh [FOLDER]   (default: dist)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$(realpath -m -- "${1:-$root/dist}")
cd "$root"

fail() { echo "make-dist: $*" >&2; exit 1; }
signing=""
if [[ -n ${VELD_SIGN_CERT:-} ]]; then
  [[ -n ${VELD_SIGN_KEY:-} ]] || fail "VELD_SIGN_CERT is set, VELD_SIGN_KEY (its private key) is not"
  # An untimed signature ends with the certificate, and Windows then treats every copy
  # out there as unsigned.
  [[ -n ${VELD_SIGN_TIMESTAMP:-} ]] || fail "VELD_SIGN_CERT is set, VELD_SIGN_TIMESTAMP (a timestamp address) is not"
  command -v osslsigncode >/dev/null || fail "osslsigncode is missing (scripts/install-deps.sh)"
  if [[ $VELD_SIGN_KEY == pkcs11:* ]]; then
    [[ -f ${VELD_SIGN_PKCS11_MODULE:-} ]] ||
      fail "VELD_SIGN_KEY is a pkcs11: URI, VELD_SIGN_PKCS11_MODULE (the token's PKCS#11 library) is not a file"
    export VELD_SIGN_PKCS11_MODULE
  fi
  export VELD_SIGN_CERT VELD_SIGN_KEY VELD_SIGN_TIMESTAMP
  signing="$root/scripts/sign.sh"
elif [[ -n ${VELD_SIGN_KEY:-}${VELD_SIGN_TIMESTAMP:-} ]]; then
  fail "VELD_SIGN_KEY or VELD_SIGN_TIMESTAMP is set without VELD_SIGN_CERT"
fi

version=$(sed -n 's/^project(Veldana VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || { echo "make-dist: no version in CMakeLists.txt's project()" >&2; exit 1; }
# Every time written here is the last commit's (the Makefile hands it over; objcopy,
# too, stamps the programs' headers with it).
if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || SOURCE_DATE_EPOCH=$(date +%s)
fi
export SOURCE_DATE_EPOCH

out=$dist/Veldana
rm -rf "$out"
mkdir -p "$out/Media"
cp build/win/Veldana.exe build/win/VeldanaStart.exe "$out/"
if [[ -d assets/Media ]]; then
  cp -r assets/Media/. "$out/Media/"
fi
for size in 800x600 1024x768 1280x1024; do
  mkdir -p "$out/$size"
  if [[ -d assets/wallpapers/$size ]]; then
    cp -r "assets/wallpapers/$size/." "$out/$size/"
  fi
done

# Every program ships stripped of its debug information and symbols; they stay in a
# debug file per program under build/debug/, which the program names in its debug link,
# so a crash address can be read (README, "Reading a crash address").
mapfile -t programs < <(cd "$out" && find . -maxdepth 1 -name '*.exe' -printf '%P\n' | LC_ALL=C sort)
mkdir -p build/debug
for name in "${programs[@]}"; do
  x86_64-w64-mingw32-objcopy --only-keep-debug "build/win/$name" "build/debug/$name.debug"
  x86_64-w64-mingw32-objcopy --strip-all --add-gnu-debuglink="build/debug/$name.debug" \
    "build/win/$name" "$out/$name"
  if [[ -n $signing ]]; then
    "$signing" "$out/$name"
  fi
done

# Veldana's own licence, with CRLF line ends for Notepad.
sed 's/$/\r/' LICENSE >"$out/LICENSE.txt"
# What changed in each version; the byte-order mark lets every Notepad read it as UTF-8.
{ printf '\xef\xbb\xbf'; sed 's/$/\r/' CHANGELOG.md; } >"$out/CHANGELOG.txt"

# The licence notices of the code of others in the programs and the setup program.
deps=$(sed -n 's/^VELD_DEPS_DIR:PATH=//p' build/win/CMakeCache.txt)
python3 scripts/make-notices.py "$out/NOTICES.txt" "$version" "$deps/libjpeg-turbo/debian/copyright" \
  "${programs[@]}"

# Fixed modes and times: the zip and the setup program store them.
find "$out" -type d -exec chmod 755 {} +
find "$out" -type f -exec chmod 644 {} +
find "$out" -exec touch -h -d "@$SOURCE_DATE_EPOCH" {} +

zip_name="$dist/Veldana-$version.zip"
rm -f "$zip_name"
# Names in a fixed order, no Unix extra fields (-X: owner, access times), times in UTC.
(cd "$dist" && find Veldana | LC_ALL=C sort | TZ=UTC zip -q -X -@ "Veldana-$version.zip")

command -v makensis >/dev/null || { echo "make-dist: makensis is missing (scripts/install-deps.sh)" >&2; exit 1; }
setup_name="$dist/Veldana-$version-setup.exe"
rm -f "$setup_name"
# Written beside and renamed when complete, so nobody ever runs half a setup program.
setup_part=$(mktemp "$dist/.Veldana-$version-setup.XXXXXX")
trap 'rm -f "$setup_part"' EXIT
# The version is handed over here, so CMakeLists.txt stays the one place it is set.
# Signing hands makensis the command that signs the uninstaller and the setup program.
makensis -V2 -WX -INPUTCHARSET UTF8 -DVERSION="$version" -DDIST="$out" \
  -DOUTFILE="$setup_part" ${signing:+-DSIGN="\"$signing\""} installer/Veldana.nsi
chmod 644 "$setup_part"
mv "$setup_part" "$setup_name"

(cd "$dist" && sha256sum "Veldana-$version.zip" "Veldana-$version-setup.exe" >SHA256SUMS)

echo "Program folder: $out"
echo "Zip: $zip_name"
echo "Setup: $setup_name"
echo "Checksums: $dist/SHA256SUMS"
echo "Debug files: $root/build/debug"
