#!/usr/bin/env bash
# The one test command: installs what is missing, builds both presets, runs
# the host tests, then every Windows test under two Wines. Exits non-zero on
# any failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/bootstrap.sh
bash scripts/build.sh

echo "== the program file, as both compilers built it"
python3 tests/release/check_program_file.py build/windows/bin/VelmoraRegistryCleaner.exe \
  build/windows-clang/bin/VelmoraRegistryCleaner.exe
echo "== the program file check, on copies patched to lack each declaration"
python3 tests/release/check_program_file.py --self-test build/windows/bin/VelmoraRegistryCleaner.exe

echo "== reproducible release: two builds in two folders"
bash scripts/package.sh --check

echo "== a signed release"
bash tests/release/signing_test.sh

. scripts/wine-env.sh

echo "== host tests (sanitizers, fuzzers)"
ctest --preset host

# Every Windows test twice: under the host's Wine 8, which deletes the
# classic way, and under Wine 10 from a Debian 13 root, which deletes with
# POSIX semantics as Windows 10 and 11 do. Each keeps its prefixes apart.
status=0
bash scripts/windows-tests.sh || status=1
echo "== making or reusing the Debian 13 root with Wine 10"
bash scripts/debian13-root.sh run --bind "$root/build/wine-debian13:$root/build/wine" \
  -- bash scripts/windows-tests.sh || status=1
[ "$status" -eq 0 ] || echo "== some Windows tests failed: see the runs above" >&2
exit "$status"
