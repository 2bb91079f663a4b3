#!/usr/bin/env bash
# Every Windows test, built already, under the Wine on PATH: fresh prefixes
# in build/wine (a 64-bit one, a 32-bit one, one at 144 DPI), a display, then
# ctest. The test command runs it once per Wine, with build/wine bound to a
# folder of that Wine's own. CLEANER_WINE_NAME says where this Wine comes
# from in the output.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
. scripts/wine-env.sh

state=$root/build/wine
wine_name="$(wine --version), from ${CLEANER_WINE_NAME:-the host}"
echo "== preparing fresh Wine prefixes for $wine_name"
mkdir -p "$state"
# The folder itself may be a mount point; only what it holds goes.
find "$state" -mindepth 1 -maxdepth 1 -exec rm -rf --one-file-system {} +
export WINEPREFIX=$state/prefix
make_prefix "$WINEPREFIX" win64
# A 32-bit prefix too, where the registry has a single view.
make_prefix "$state/prefix32" win32
# And one at 144 DPI, for the dialogs on a high-DPI screen.
make_prefix "$state/prefix144" win64
WINEPREFIX=$state/prefix144 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
  </dev/null >/dev/null 2>&1
# Its user groups digits with a period, as Region settings let one choose.
WINEPREFIX=$state/prefix144 wine reg add 'HKCU\Control Panel\International' /v sThousand /t REG_SZ /d . /f \
  </dev/null >/dev/null 2>&1
WINEPREFIX=$state/prefix144 wineserver -w

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
  WINEPREFIX=$state/prefix wineserver -k 2>/dev/null || true
  WINEPREFIX=$state/prefix144 wineserver -k 2>/dev/null || true
  [ -z "${XVFB_PID:-}" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
wineserver -p
# Start Wine's background services now, with no ctest pipe open: a service
# that inherited a test's output would keep ctest waiting for its end.
wine cmd /c exit </dev/null >/dev/null 2>&1

echo "== Windows tests under $wine_name"
ctest --preset windows
echo "== the Windows tests above ran under $wine_name"
