#!/usr/bin/env bash
# Builds the program and times its folder removal against "cmd /c rd /s /q"
# in a throwaway Wine prefix. Prints a Markdown table. "bench/run.sh quick"
# leaves out the growth rows.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
bash scripts/bootstrap.sh >/dev/null
cmake --preset windows >/dev/null
cmake --build --preset windows --target bench_folder_removal >/dev/null
. scripts/wine-env.sh
export WINEPREFIX=$root/build/wineprefix-bench
make_prefix "$WINEPREFIX" win64
trap 'wineserver -k 2>/dev/null || true' EXIT
wineserver -p
wine build/windows/bin/bench_folder_removal.exe 'C:\bench-scratch' "$@"
