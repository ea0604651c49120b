#!/usr/bin/env bash
# Makes a release signed the way a real one is, with throw-away stand-ins for what a real
# one is given: a code-signing certificate made here, a SoftHSM2 token that holds its key
# (as a USB token or an HSM does; the key file is deleted once it is in the token) and an
# RFC 3161 timestamp responder on this machine (openssl ts behind a local HTTP port).
# It then runs make dist's script signed through the token and verifies every signature
# it made, timestamp included, against those two certificates.
# Usage: scripts/sign-test-release.sh [DIST [WORK]]   (make dist-test-signed: into dist/)
# WORK keeps the certificates (code.pem, tsa.pem and the responder's key) for checking
# more signatures later; without it they go with a temporary folder. VELD_RELEASE_URL is
# handed on.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
dist=$(realpath -m -- "${1:-$root/dist}")
temporary=""
if [[ -n ${2:-} ]]; then
  work=$(realpath -m -- "$2")
  mkdir -p "$work"
else
  work=$(mktemp -d)
  temporary=$work
fi
responder=""
cleanup() {
  [[ -z $responder ]] || { kill "$responder" && wait "$responder"; } 2>/dev/null || true
  [[ -z $temporary ]] || rm -rf "$temporary"
}
trap cleanup EXIT
cd "$work"

# Valid for a day: nothing signed here is meant to be trusted.
for use in "code codeSigning" "tsa critical,timeStamping"; do
  read -r name usage <<<"$use"
  openssl req -x509 -newkey rsa:2048 -nodes -days 1 -keyout "$name.key" -out "$name.pem" \
    -subj "/CN=Veldana test $name" -addext "extendedKeyUsage=$usage" 2>openssl.log ||
    { cat openssl.log >&2; exit 1; }
done

rm -rf tokens
mkdir tokens
printf 'directories.tokendir = %s\n' "$work/tokens" >softhsm2.conf
export SOFTHSM2_CONF=$work/softhsm2.conf
pin=$(od -An -N8 -tx8 /dev/urandom | tr -d ' ')
(umask 077 && printf '%s\n' "$pin" >pin)
softhsm2-util --init-token --free --label veldana-test --pin "$pin" --so-pin "$pin" >/dev/null
softhsm2-util --import code.key --token veldana-test --label release --id 01 --pin "$pin" >/dev/null
rm code.key

printf '[tsa]\ndefault_tsa=t\n[t]\nserial=tsa.serial\ndefault_policy=1.2\nsigner_digest=sha256\ndigests=sha256\n' >ts.cnf
rm -f tsa.port
python3 -c '
import http.server, subprocess
class Responder(http.server.BaseHTTPRequestHandler):
    def do_POST(self):
        query = self.rfile.read(int(self.headers["Content-Length"]))
        reply = subprocess.run(["openssl", "ts", "-reply", "-config", "ts.cnf", "-signer", "tsa.pem", "-inkey",
                                "tsa.key", "-queryfile", "/dev/stdin", "-out", "/dev/stdout"],
                               input=query, capture_output=True, check=True).stdout
        self.send_response(200)
        self.send_header("Content-Type", "application/timestamp-reply")
        self.end_headers()
        self.wfile.write(reply)
    def log_message(self, *args):
        pass
server = http.server.HTTPServer(("127.0.0.1", 0), Responder)
open("tsa.port.new", "w").write(str(server.server_address[1]))
__import__("os").rename("tsa.port.new", "tsa.port")
server.serve_forever()
' &
responder=$!
for _ in $(seq 100); do
  [[ -f tsa.port ]] && break
  kill -0 "$responder" || { echo "sign-test-release: the timestamp responder did not start" >&2; exit 1; }
  sleep 0.1
done
[[ -f tsa.port ]] || { echo "sign-test-release: the timestamp responder did not start" >&2; exit 1; }

# Named from here, as a maintainer names them from where they run make dist.
VELD_SIGN_CERT=code.pem VELD_SIGN_KEY="pkcs11:token=veldana-test;object=release;type=private" \
  VELD_SIGN_PKCS11_MODULE=${VELD_SIGN_PKCS11_MODULE:-/usr/lib/softhsm/libsofthsm2.so} \
  VELD_SIGN_PASSWORD_FILE=pin VELD_SIGN_TIMESTAMP="http://127.0.0.1:$(cat tsa.port)" \
  "$root/scripts/make-dist.sh" "$dist"

for program in "$dist"/Veldana/*.exe "$dist"/Veldana-*-setup.exe; do
  if ! osslsigncode verify -in "$program" -CAfile code.pem -TSA-CAfile tsa.pem >verify.log 2>&1 ||
    ! grep -q "Timestamp Server Signature verification: ok" verify.log; then
    cat verify.log >&2
    echo "sign-test-release: the signature of $program does not verify" >&2
    exit 1
  fi
  echo "Signed and timestamped: $program"
done
