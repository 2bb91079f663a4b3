#!/usr/bin/env bash
# The one test command: installs what is missing, builds both presets, makes
# a fresh Wine prefix and a display, runs every test. Exits non-zero on any
# failure.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

bash scripts/bootstrap.sh
bash scripts/build.sh

echo "== reproducible release: two builds in two folders"
bash scripts/package.sh --check

. scripts/wine-env.sh

echo "== host tests (sanitizers, fuzzers)"
ctest --preset host

echo "== preparing the Wine test prefix"
export WINEPREFIX=$root/build/wineprefix-test
make_prefix "$WINEPREFIX" win64
# A 32-bit prefix too, where the registry has a single view.
make_prefix "$root/build/wineprefix-test32" win32
# And one at 144 DPI, for the dialogs on a high-DPI screen.
make_prefix "$root/build/wineprefix-test144" win64
WINEPREFIX=$root/build/wineprefix-test144 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
  </dev/null >/dev/null 2>&1
WINEPREFIX=$root/build/wineprefix-test144 wineserver -w

# A tree with a directory link to data outside it, laid out from the Unix
# side (Wine cannot create such links itself).
fixture=$WINEPREFIX/drive_c/link-fixture
mkdir -p "$fixture/outside/sub" "$fixture/tree"
echo a > "$fixture/outside/a.txt"
echo b > "$fixture/outside/sub/b.txt"
echo data > "$fixture/tree/data.txt"
ln -s ../outside "$fixture/tree/link"
ln -s outside "$fixture/toplink"
export CLEANER_LINK_FIXTURE='C:\link-fixture'

ensure_display
cleanup() {
  WINEPREFIX=$root/build/wineprefix-test wineserver -k 2>/dev/null || true
  WINEPREFIX=$root/build/wineprefix-test144 wineserver -k 2>/dev/null || true
  [ -z "${XVFB_PID:-}" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
wineserver -p
# Start Wine's background services now, with no ctest pipe open: a service
# that inherited a test's output would keep ctest waiting for its end.
wine cmd /c exit </dev/null >/dev/null 2>&1

echo "== Windows tests under Wine"
ctest --preset windows
