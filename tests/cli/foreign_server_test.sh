#!/usr/bin/env bash
# qgm-cli usage against an independent TLS server with a CA made by the
# openssl tool: --api-base and --ca-file must be all it takes.
set -euo pipefail
cli=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
trap 'kill "${server:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT
cd "$work"

openssl req -x509 -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -days 2 \
  -subj "/CN=Foreign test CA" -keyout ca.key -out ca.pem \
  -addext "basicConstraints=critical,CA:TRUE" -addext "keyUsage=critical,keyCertSign" 2>/dev/null
openssl req -newkey ec -pkeyopt ec_paramgen_curve:P-256 -nodes -subj "/CN=localhost" \
  -keyout server.key -out server.csr 2>/dev/null
printf 'subjectAltName=DNS:localhost\nbasicConstraints=CA:FALSE\n' > ext.cnf
openssl x509 -req -in server.csr -CA ca.pem -CAkey ca.key -CAcreateserial -days 2 \
  -extfile ext.cnf -out server.pem 2>/dev/null

python3 "$here/foreign_server.py" server.pem server.key port &
server=$!
for _ in $(seq 50); do [ -s port ] && break; sleep 0.1; done
port=$(cat port)

out=$("$cli" usage --config /dev/null --api-base "https://localhost:$port/api/v1.5/" \
      --ca-file ca.pem --account someone --password secret)
echo "$out"
grep -qx "Usage line: 1234.56789 50000 15/06/2014 0.00" <<<"$out"
grep -qx "Plan: Easy 50" <<<"$out"

# Without the CA file the server is not trusted and nothing is fetched.
if "$cli" usage --config /dev/null --api-base "https://localhost:$port/api/v1.5/" \
     --account someone --password secret 2>err.txt; then
  echo "an untrusted server was accepted" >&2
  exit 1
fi
cat err.txt
# A wrong password fails with the server's status line.
if "$cli" usage --config /dev/null --api-base "https://localhost:$port/api/v1.5/" \
     --ca-file ca.pem --account someone --password wrong 2>err.txt; then
  echo "a wrong password was accepted" >&2
  exit 1
fi
grep -q "401" err.txt
echo "foreign server: ok"
