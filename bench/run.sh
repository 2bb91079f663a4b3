#!/usr/bin/env bash
# Builds the program and times its folder removal against floors in a
# throwaway Wine prefix. Prints a Markdown table. "bench/run.sh quick"
# leaves out the growth rows, "nested" all but the nested tree, "bare" the
# rm and rd floors; "bench/run.sh list" times a listing against a bare
# walk that counts the same; "bench/run.sh count" counts Wine server requests per
# file and per folder instead; "bench/run.sh --wine10 ..." runs any of these
# under Wine 10. The prefix is kept in memory (/dev/shm) where there is one:
# a disk that stalls for seconds at random would hide the difference in
# calls behind the cost of each unlink.
# It times the build this machine runs: the 32-bit program, or where the
# machine runs no 32-bit programs (or with CLEANER_WINDOWS_BUILD=64) the
# 64-bit build of the same sources, and says which.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
. scripts/steps.sh
. scripts/machine.sh
# Built on the host; "--wine10" then runs it in the Debian 13 root, under
# Wine 10, which deletes with POSIX semantics as Windows 10 and 11 do.
if [ -z "${CLEANER_BENCH_BUILT:-}" ]; then
  bash scripts/bootstrap.sh >/dev/null
  choose_windows_build
  use_windows_build "$CLEANER_WINDOWS_BUILD"
  cmake --preset "$CLEANER_PRESET" >/dev/null
  cmake --build --preset "$CLEANER_PRESET" --target bench_folder_removal >/dev/null
fi
if [ "${1:-}" = --wine10 ]; then
  shift
  exec bash scripts/debian13-root.sh run -- env CLEANER_BENCH_BUILT=1 bash bench/run.sh "$@"
fi
use_windows_build "$CLEANER_WINDOWS_BUILD"
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
echo "$(windows_build_name "$CLEANER_WINDOWS_BUILD") (build/$CLEANER_PRESET); Wine prefix $where; $(nproc) cores, $(wine --version 2>/dev/null), $(. /etc/os-release && echo "$PRETTY_NAME")"
echo
if [ "${1:-}" = count ]; then
  # Server requests per file and per empty folder, ours and the bare calls,
  # with the kinds that make them up, counted in the log between the marks.
  # The server that this first call starts writes the log (its stderr).
  log=$WINEPREFIX/server.log
  wineserver -k 2>/dev/null || true
  WINEDEBUG=+server wine "$CLEANER_BIN/bench_folder_removal.exe" 'C:\bench-scratch' count 2>"$log"
  awk -v files=1000 -v folders=200 '
    match($0, /bench-(begin|end)-[a-z]+-[a-z]+/) {
      mark = substr($0, RSTART + 6, RLENGTH - 6)
      if (mark ~ /^begin-/) { phase = substr(mark, 7); thread = $1; order[++phases] = phase }
      else phase = ""
      next
    }
    phase != "" && $1 == thread && $2 ~ /^[a-z_]+\(/ && $0 !~ /\) = / {
      name = $2; sub(/\(.*/, "", name); total[phase]++; kind[phase, name]++
    }
    END {
      print "| removal | server requests per entry | of which |"
      print "|---|---:|---|"
      for (i = 1; i <= phases; i++) {
        p = order[i]; n = (p ~ /files$/) ? files : folders; parts = ""
        for (key in kind) {
          split(key, k, SUBSEP)
          if (k[1] == p && kind[key] / n >= 0.5) parts = parts sprintf("%s %.1f, ", k[2], kind[key] / n)
        }
        printf "| %s | %.1f | %s |\n", p, total[p] / n, substr(parts, 1, length(parts) - 2)
      }
    }' "$log"
else
  wineserver -p
  wine "$CLEANER_BIN/bench_folder_removal.exe" 'C:\bench-scratch' "$@"
fi
