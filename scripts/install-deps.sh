#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the demo need, and only the
# ones that are missing, so running it again does nothing.
set -euo pipefail

packages=(
  cmake make g++ nasm dpkg-dev
  g++-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
  libjpeg62-turbo-dev libjpeg-turbo-progs googletest libgtest-dev
  wine wine64 xvfb xdotool x11-utils x11-xserver-utils imagemagick graphicsmagick
  clang libclang-rt-14-dev
  python3 python3-pytest python3-pytest-xdist python3-pil
  zip nsis osslsigncode locales
  openssl libengine-pkcs11-openssl softhsm2  # signing through a token; the throw-away one, its
  # certificates and timestamps of make dist-test-signed
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ $status == "install ok installed" ]] || missing+=("$p")
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  sudo=""
  [[ $(id -u) == 0 ]] || sudo="sudo"
  # apt-get's own progress stays on screen: a first install takes minutes.
  $sudo apt-get update
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y "${missing[@]}"
fi

# Locales whose code pages are not Windows-1252 (UTF-8 and Shift-JIS under Wine): the
# end-to-end tests start Veldana in them.
for locale in hi_IN ja_JP; do
  if ! locale -a | grep -qx "$locale.utf8"; then
    sudo=""
    [[ $(id -u) == 0 ]] || sudo="sudo"
    $sudo localedef -i "$locale" -f UTF-8 "$locale.UTF-8"
  fi
done
