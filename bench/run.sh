#!/usr/bin/env bash
# Builds the program and times its folder removal against "cmd /c rd /s /q"
# in a throwaway Wine prefix. Prints a Markdown table. "bench/run.sh quick"
# leaves out the growth rows, "bench/run.sh nested" all but the nested
# tree; "bench/run.sh --wine10 [quick|nested]" runs under Wine 10. The
# prefix is kept in memory (/dev/shm) where there is one: a disk that stalls
# for seconds at random would hide the difference in calls behind the cost
# of each unlink.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# Built on the host; "--wine10" then runs it in the Debian 13 root, under
# Wine 10, which deletes with POSIX semantics as Windows 10 and 11 do.
if [ -z "${CLEANER_BENCH_BUILT:-}" ]; then
  bash scripts/bootstrap.sh >/dev/null
  cmake --preset windows >/dev/null
  cmake --build --preset windows --target bench_folder_removal >/dev/null
fi
if [ "${1:-}" = --wine10 ]; then
  shift
  exec bash scripts/debian13-root.sh run -- env CLEANER_BENCH_BUILT=1 bash bench/run.sh "$@"
fi
. scripts/wine-env.sh
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export WINEPREFIX=/dev/shm/cleaner-wineprefix-bench
  where="in memory (/dev/shm)"
else
  export WINEPREFIX=$root/build/wineprefix-bench
  where="on disk ($WINEPREFIX)"
fi
make_prefix "$WINEPREFIX" win64
trap 'wineserver -k 2>/dev/null || true; [ "${WINEPREFIX#/dev/shm/}" = "$WINEPREFIX" ] || rm -rf "$WINEPREFIX"' EXIT
echo "Wine prefix $where; $(nproc) cores, $(wine --version 2>/dev/null), $(. /etc/os-release && echo "$PRETTY_NAME")"
echo
wineserver -p
wine build/windows/bin/bench_folder_removal.exe 'C:\bench-scratch' "$@"
