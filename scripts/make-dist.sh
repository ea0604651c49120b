#!/usr/bin/env bash
# Lays out the ready-to-run program folder dist/Veldana/, zips it, builds the per-user
# setup program from it (installer/Veldana.nsi) and writes their checksums to
# dist/SHA256SUMS; given the release's download address, also the release's winget
# manifest (dist/winget/). One commit gives the same bytes in any folder on any day
# (scripts/check-reproducible.sh compares two builds). Given a certificate and a key (a
# file, or one in a token reached through PKCS#11), it signs every program it makes
# (README, "Signing a release").
# A release is whole or absent: everything is made in a folder beside dist/, which takes
# dist/'s place only once every file, signature and checksum is there; a failure leaves
# dist/ as it was and says which step failed.
# Usage: scripts/make-dist.sh [FOLDER]   (default: dist)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$(realpath -m -- "${1:-$root/dist}")

fail() { echo "make-dist: $*" >&2; exit 1; }
# The signing files are named from where make dist was started; the setup program is
# signed from installer/.
for name in VELD_SIGN_CERT VELD_SIGN_KEY VELD_SIGN_PKCS11_MODULE VELD_SIGN_PKCS11_ENGINE VELD_SIGN_PASSWORD_FILE; do
  value=${!name:-}
  if [[ -n $value && $value != pkcs11:* ]]; then
    [[ -f $value ]] || fail "$name names no file: $value"
    printf -v "$name" '%s' "$(realpath -- "$value")"
  fi
done
cd "$root"

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
  [[ -n ${VELD_SIGN_PKCS11_ENGINE:-} ]] && export VELD_SIGN_PKCS11_ENGINE
  [[ -n ${VELD_SIGN_PASSWORD_FILE:-} ]] && export VELD_SIGN_PASSWORD_FILE
  signing="$root/scripts/sign.sh"
elif [[ -n ${VELD_SIGN_KEY:-}${VELD_SIGN_TIMESTAMP:-} ]]; then
  fail "VELD_SIGN_KEY or VELD_SIGN_TIMESTAMP is set without VELD_SIGN_CERT"
fi
command -v makensis >/dev/null || fail "makensis is missing (scripts/install-deps.sh)"

version=$(sed -n 's/^project(Veldana VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
[[ -n $version ]] || fail "no version in CMakeLists.txt's project()"
# Every time written here is the last commit's (the Makefile hands it over; objcopy,
# too, stamps the programs' headers with it).
if [[ -z ${SOURCE_DATE_EPOCH:-} ]]; then
  SOURCE_DATE_EPOCH=$(git log -1 --format=%ct 2>/dev/null) || SOURCE_DATE_EPOCH=$(date +%s)
fi
export SOURCE_DATE_EPOCH

# Each step says what it does; a failure names the step it stopped in.
step="preparing the release folder"
staging=""
trap 'status=$?; ((status == 0)) || echo "make-dist: failed while $step; $dist is as it was" >&2;
  [[ -z $staging ]] || rm -rf "$staging"' EXIT
mkdir -p "$(dirname "$dist")"
staging=$(mktemp -d "$dist.new.XXXXXX")
out=$staging/Veldana

step="laying out the program folder"
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
  step="stripping $name"
  x86_64-w64-mingw32-objcopy --only-keep-debug "build/win/$name" "build/debug/$name.debug"
  x86_64-w64-mingw32-objcopy --strip-all --add-gnu-debuglink="build/debug/$name.debug" \
    "build/win/$name" "$out/$name"
  if [[ -n $signing ]]; then
    step="signing $name"
    "$signing" "$out/$name"
  fi
done

step="writing the licence, the changes and the notices"
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

step="zipping the program folder"
zip_file="Veldana-$version.zip"
# Names in a fixed order, no Unix extra fields (-X: owner, access times), times in UTC.
(cd "$staging" && find Veldana | LC_ALL=C sort | TZ=UTC zip -q -X -@ "$zip_file")

step="building${signing:+ and signing} the setup program"
setup_file="Veldana-$version-setup.exe"
# The version is handed over here, so CMakeLists.txt stays the one place it is set.
# Signing hands makensis the command that signs the uninstaller and the setup program.
makensis -V2 -WX -INPUTCHARSET UTF8 -DVERSION="$version" -DDIST="$out" \
  -DOUTFILE="$staging/$setup_file" ${signing:+-DSIGN="\"$signing\""} installer/Veldana.nsi
chmod 644 "$staging/$setup_file"

step="writing the checksums"
(cd "$staging" && sha256sum "$zip_file" "$setup_file" >SHA256SUMS)

if [[ -n ${VELD_RELEASE_URL:-} ]]; then
  step="writing the winget manifest"
  python3 scripts/winget-manifest.py "$staging/$setup_file" "$version" "${VELD_RELEASE_URL%/}/$setup_file" \
    "$(date -u -d "@$SOURCE_DATE_EPOCH" +%F)" "$staging/winget"
fi
chmod 755 "$staging"

# The old release goes only once the new one is whole; between the two renames nothing
# but the swap can fail.
step="putting the release in place"
if [[ -e $dist ]]; then
  mv "$dist" "$staging.old"
  mv "$staging" "$dist" || { mv "$staging.old" "$dist"; exit 1; }
  rm -rf "$staging.old"
else
  mv "$staging" "$dist"
fi
staging=""

echo "Program folder: $dist/Veldana"
echo "Zip: $dist/$zip_file"
echo "Setup: $dist/$setup_file"
echo "Checksums: $dist/SHA256SUMS"
if [[ -n ${VELD_RELEASE_URL:-} ]]; then
  echo "winget manifest: $dist/winget"
fi
echo "Debug files: $root/build/debug"
