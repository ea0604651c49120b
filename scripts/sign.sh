#!/usr/bin/env bash
# Signs one Windows program in place (Authenticode, SHA-256) with the certificate and key
# make dist was given, and has the signature timestamped, so it stays valid after the
# certificate expires (README, "Signing a release").
# Usage: VELD_SIGN_CERT=... VELD_SIGN_KEY=... VELD_SIGN_TIMESTAMP=... scripts/sign.sh FILE
# (make-dist.sh runs it for the programs; makensis for the uninstaller and the setup)
set -euo pipefail
file=$1
signed="$file.signed"
rm -f "$signed"
trap 'rm -f "$signed"' EXIT
osslsigncode sign -certs "$VELD_SIGN_CERT" -key "$VELD_SIGN_KEY" \
  ${VELD_SIGN_PASSWORD_FILE:+-readpass "$VELD_SIGN_PASSWORD_FILE"} \
  -h sha256 -n Veldana -ts "$VELD_SIGN_TIMESTAMP" -in "$file" -out "$signed" >/dev/null
chmod --reference="$file" "$signed"
mv "$signed" "$file"
