#!/usr/bin/env bash
# Every Windows test of one build, built already, under the Wine on PATH:
# fresh prefixes (a 64-bit one, one at 144 DPI, and for the 32-bit program a
# 32-bit one), a display, then ctest. The test command runs it once per
# build and Wine, with the build's state folder bound to one of that Wine's
# own. CLEANER_WINE_NAME says where this Wine comes from in the output.
#
#   scripts/windows-tests.sh 32|64 [SUMMARY-FILE [SELFTEST-ZIP]]
#
# With SUMMARY-FILE, one line for this run and one for each test that was
# left out (with its reason) are added to that file. With SELFTEST-ZIP, the
# self-test bundle is then unpacked into a folder with blanks in the prefix
# and its runner run as on a Windows machine, with /reset-this-profile: the
# profile it cleans is the throwaway prefix's.
set -euo pipefail
cd "$(dirname "$0")/.."
. scripts/steps.sh
. scripts/machine.sh
. scripts/wine-env.sh
build=${1:?which build: 32 or 64} summary=${2:-} selftest=${3:-}
use_windows_build "$build"

state=$CLEANER_WINE_STATE
what="$(windows_build_name "$build") under $(wine --version), from ${CLEANER_WINE_NAME:-the host}"
step "preparing fresh Wine prefixes for $what"
mkdir -p "$state"
# The folder itself may be a mount point; only what it holds goes.
find "$state" -mindepth 1 -maxdepth 1 -exec rm -rf --one-file-system {} +
export WINEPREFIX=$state/prefix
make_prefix "$WINEPREFIX" win64
if [ "$build" = 32 ]; then
  # A 32-bit prefix too, where the registry has a single view; no 64-bit
  # program runs in one.
  make_prefix "$state/prefix32" win32
fi
# And one at 144 DPI, for the dialogs on a high-DPI screen.
make_prefix "$state/prefix144" win64
WINEPREFIX=$state/prefix144 wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 144 /f \
  </dev/null >/dev/null 2>&1
# Its user groups digits with a period, as Region settings let one choose.
WINEPREFIX=$state/prefix144 wine reg add 'HKCU\Control Panel\International' /v sThousand /t REG_SZ /d . /f \
  </dev/null >/dev/null 2>&1
WINEPREFIX=$state/prefix144 wineserver -w

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

# Each test program adds the tests it left out, with the reason it gave.
export CLEANER_SKIPPED_LOG=$state/skipped.txt
: > "$CLEANER_SKIPPED_LOG"
step "Windows tests: $what"
status=0
ctest --preset "$CLEANER_PRESET" 2>&1 | tee "$state/ctest.log" || status=$?
echo "== the Windows tests above ran $what"
# The test programs save their screenshots as bitmaps; the rest are PNG.
for shot in "$state"/screenshots*/*.bmp; do
  [ -e "$shot" ] || continue
  convert "$shot" "${shot%.bmp}.png" && rm -f "$shot"
done
if [ -n "$selftest" ]; then
  step "the self-test bundle $(basename "$selftest"), as on a Windows machine: in a folder with blanks, with /reset-this-profile"
  bundle_dir="$WINEPREFIX/drive_c/Self Test Bundle"
  rm -rf "$bundle_dir"
  python3 -m zipfile -e "$selftest" "$bundle_dir"
  started=$SECONDS
  bundle_status=0
  wine cmd /c 'C:\Self Test Bundle\run-selftest.cmd' /reset-this-profile </dev/null >"$state/selftest.raw" 2>&1 ||
    bundle_status=$?
  tr -d '\r' < "$state/selftest.raw" > "$state/selftest.log"
  sed 's/^/   /' "$state/selftest.log"
  counts=$(grep -E '^[0-9]+ passed, [0-9]+ failed, [0-9]+ skipped$' "$state/selftest.log" || echo "no summary line")
  if [ "$bundle_status" -eq 0 ] && [[ "$counts" == *" 0 failed, "* ]]; then bundle_verdict=passed; else
    bundle_verdict=FAILED status=1; fi
  echo "== the self-test bundle ran in $((SECONDS - started)) s: $counts, exit code $bundle_status"
fi
if [ -n "$summary" ]; then
  result=$(grep -E '^[0-9]+% tests passed' "$state/ctest.log" || echo "ctest gave no summary")
  seconds=$(sed -n 's/^Total Test time (real) = *\([0-9]*\).*/\1/p' "$state/ctest.log")
  if [ "$status" -eq 0 ]; then verdict=passed; else verdict=FAILED; fi
  {
    echo "$verdict: $what: $result${seconds:+, in $((seconds / 60)) min $((seconds % 60)) s}"
    sed "s/^/    left out: /" "$CLEANER_SKIPPED_LOG"
    if [ -n "$selftest" ]; then
      echo "$bundle_verdict: the self-test bundle $(basename "$selftest"), run-selftest.cmd under $(wine --version): $counts"
      sed -n 's/^ *skipped: /    left out: /p' "$state/selftest.log"
    fi
  } >> "$summary"
fi
exit "$status"
