#!/usr/bin/env bash
# A release signed as a lab would sign it, with a throwaway self-signed
# certificate: the signature verifies against that certificate, the
# checksums match the signed archive, the signed program still declares
# what it should, and it runs under Wine where this machine runs 32-bit
# programs.
set -euo pipefail
cd "$(dirname "$0")/../.."
. scripts/steps.sh
. scripts/machine.sh
. scripts/wine-env.sh
choose_windows_build
scratch=$(mktemp -d)
trap 'WINEPREFIX=$scratch/prefix wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT

openssl req -x509 -newkey rsa:2048 -sha256 -days 2 -nodes -subj "/CN=Velmora test signing" \
  -addext extendedKeyUsage=codeSigning -keyout "$scratch/key.pem" -out "$scratch/cert.pem" 2>/dev/null
echo "throwaway-password" > "$scratch/password.txt"
openssl pkcs12 -export -inkey "$scratch/key.pem" -in "$scratch/cert.pem" -passout "file:$scratch/password.txt" \
  -out "$scratch/cert.pfx"

bash scripts/package.sh --pfx "$scratch/cert.pfx" --password-file "$scratch/password.txt" --dist "$scratch/dist"
(cd "$scratch/dist" && sha256sum -c SHA256SUMS)
# The release's program, and the self-test bundle's, which is the same signed file.
python3 - "$scratch/dist"/VelmoraRegistryCleaner-*-win32.zip "$scratch/dist"/VelmoraRegistryCleaner-*-win32-selftest.zip \
  "$scratch/signed.exe" <<'PY'
import sys, zipfile
release, bundle, target = sys.argv[1:4]
with zipfile.ZipFile(release) as z, zipfile.ZipFile(bundle) as b, open(target, "wb") as out:
    program = z.read("VelmoraRegistryCleaner.exe")
    if b.read("VelmoraRegistryCleaner.exe") != program:
        sys.exit("the self-test bundle does not hold the signed program")
    out.write(program)
PY
osslsigncode verify -CAfile "$scratch/cert.pem" -in "$scratch/signed.exe" | grep -E '^(Signature verification|Message digest algorithm|Number of verified)'
python3 tests/release/check_program_file.py "$scratch/signed.exe"

if [ "$CLEANER_WINDOWS_BUILD" != 32 ]; then
  echo "the signed program is not run: it is a 32-bit program, and this run takes the 64-bit build's path"
  exit 0
fi
export WINEPREFIX=$scratch/prefix
make_prefix "$WINEPREFIX" win64
code=0
wine "$scratch/signed.exe" /S </dev/null >/dev/null 2>"$scratch/report.txt" || code=$?
report=$(tr -d '\r' < "$scratch/report.txt" | grep '^end' || true)
echo "the signed program under $(wine --version): exit code $code, $report"
[ "$code" -eq 0 ] && [[ "$report" == *$'\texit=0\t'* ]]
