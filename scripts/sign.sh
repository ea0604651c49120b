#!/usr/bin/env bash
# Signs one Windows program in place (Authenticode, SHA-256) with the certificate and key
# make dist was given, and has the signature timestamped, so it stays valid after the
# certificate expires (README, "Signing a release").
# Usage: VELD_SIGN_CERT=... VELD_SIGN_KEY=... VELD_SIGN_TIMESTAMP=... scripts/sign.sh FILE
# VELD_SIGN_KEY is a key file, or a pkcs11: URI naming a key that stays in its token (a
# USB token, an HSM, a cloud signing service), reached through VELD_SIGN_PKCS11_MODULE,
# the token maker's PKCS#11 library. VELD_SIGN_PASSWORD_FILE holds the key file's
# password or the token's PIN.
# (make-dist.sh runs it for the programs; makensis for the uninstaller and the setup)
set -euo pipefail
file=$1
signed="$file.signed"
rm -f "$signed"
trap 'rm -f "$signed"' EXIT
token=()
if [[ $VELD_SIGN_KEY == pkcs11:* ]]; then
  # OpenSSL reaches a PKCS#11 library through this engine (libengine-pkcs11-openssl).
  engine=${VELD_SIGN_PKCS11_ENGINE:-$(openssl version -e | sed -n 's/^ENGINESDIR: "\(.*\)"$/\1/p')/pkcs11.so}
  [[ -f $engine ]] || { echo "sign: no PKCS#11 engine at $engine (scripts/install-deps.sh)" >&2; exit 1; }
  token=(-pkcs11engine "$engine" -pkcs11module "$VELD_SIGN_PKCS11_MODULE")
fi
osslsigncode sign "${token[@]}" -certs "$VELD_SIGN_CERT" -key "$VELD_SIGN_KEY" \
  ${VELD_SIGN_PASSWORD_FILE:+-readpass "$VELD_SIGN_PASSWORD_FILE"} \
  -h sha256 -n Veldana -ts "$VELD_SIGN_TIMESTAMP" -in "$file" -out "$signed" >/dev/null
chmod --reference="$file" "$signed"
mv "$signed" "$file"
