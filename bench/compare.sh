#!/usr/bin/env bash
# Tells whether two or more builds remove folders at different speeds.
#   bash bench/compare.sh [rounds=N] [raw=FILE] CHECKOUT... [-- BENCH-ARGUMENTS]
#   bash bench/compare.sh from=FILE [from=FILE...]
# Each CHECKOUT holds a built bench_folder_removal.exe of the build this
# machine runs: build/windows/bin, or where it runs no 32-bit programs (or
# with CLEANER_WINDOWS_BUILD=64) build/windows64/bin.
# One figure of one run moves by up to 15% here (a shared host takes the
# processor away for whole seconds), more than the differences worth
# finding, so every round runs each build's bench once, in an order that
# turns each round, in one Wine prefix in memory; each run's ours / bare
# ratio is judged against the bare calls of that same run (with
# "interleave", one top folder at a time, which steadies it most), and the
# rounds give each build's mean with its 95% interval and its difference
# from the first build's. raw=FILE keeps each run's row as the rounds go;
# from=FILE gives the table of kept rows, several runs' together, without
# running anything. BENCH-ARGUMENTS default to "quick bare copies
# interleave repeats=1".
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=12
raw=
kept=()
builds=()
while [ $# -gt 0 ]; do
  case $1 in
    rounds=*) rounds=${1#rounds=} ;;
    raw=*) raw=$(realpath -m "${1#raw=}") ;;
    from=*) kept+=("$(realpath -m "${1#from=}")") ;;
    --) shift; break ;;
    *) builds+=("$(cd "$1" && pwd)") ;;
  esac
  shift
done
[ $# -gt 0 ] || set -- quick bare copies interleave repeats=1
if [ ${#kept[@]} -eq 0 ] && [ ${#builds[@]} -lt 2 ]; then
  echo "usage: bash bench/compare.sh [rounds=N] [raw=FILE] CHECKOUT CHECKOUT... [-- BENCH-ARGUMENTS]" >&2
  echo "       bash bench/compare.sh from=FILE [from=FILE...]" >&2
  exit 2
fi
# table FILE...: each build's figures from kept rows.
table() {
  python3 - "$@" <<'EOF'
import statistics, sys
from collections import defaultdict
runs = defaultdict(list)
order = []
for line in (line for name in sys.argv[1:] for line in open(name)):
    build, tree, _, ratio = line.split("\t")[:4]
    runs[build, tree].append(float(ratio))
    if build not in order:
        order.append(build)
def interval(values):
    # Student's t, 95%, two-sided, for the degrees of freedom at hand.
    t = {1: 12.71, 2: 4.30, 3: 3.18, 4: 2.78, 5: 2.57, 6: 2.45, 7: 2.36, 8: 2.31, 9: 2.26,
         10: 2.23, 12: 2.18, 15: 2.13, 20: 2.09, 30: 2.04, 60: 2.00}
    df = len(values) - 1
    factor = t[max(k for k in t if k <= df)] if df >= 1 else float("nan")
    return factor * statistics.stdev(values) / len(values) ** 0.5 if df >= 1 else float("nan")
print("| tree | build | runs | ours / bare: mean | 95% interval | median | against the first build |")
print("|---|---|---:|---:|---:|---:|---:|")
for tree in sorted({tree for _, tree in runs}, key=lambda t: (t != "flat", t)):
    first = runs[order[0], tree]
    for build in order:
        values = runs[build, tree]
        if not values:
            continue
        mean = statistics.mean(values)
        if build == order[0]:
            against = ""
        else:
            # Welch: the two builds' means and their spreads apart.
            spread = (interval(values) ** 2 + interval(first) ** 2) ** 0.5
            against = "%+.1f%% ± %.1f%%" % (100 * (mean / statistics.mean(first) - 1),
                                            100 * spread / statistics.mean(first))
        print("| %s | %s | %d | %.3f | ± %.3f | %.3f | %s |" %
              (tree, build, len(values), mean, interval(values), statistics.median(values), against))
EOF
}
if [ ${#kept[@]} -gt 0 ]; then
  table "${kept[@]}"
  exit
fi
. scripts/steps.sh
. scripts/machine.sh
choose_windows_build
use_windows_build "$CLEANER_WINDOWS_BUILD"
bench=build/$CLEANER_PRESET/bin/bench_folder_removal.exe
for build in "${builds[@]}"; do
  [ -f "$build/$bench" ] || { echo "not built: $build/$bench" >&2; exit 2; }
done
. scripts/wine-env.sh
export WINEPREFIX=/dev/shm/cleaner-wineprefix-compare
make_prefix "$WINEPREFIX" win64
results=$(mktemp)
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX" "$results"' EXIT
# The server and Wine's own services start here, apart from the pipes
# that read each run's table, which they would otherwise hold open.
wineserver -p </dev/null >/dev/null 2>&1
wine cmd /c rem </dev/null >/dev/null 2>&1
echo "$(windows_build_name "$CLEANER_WINDOWS_BUILD") ($bench); $(nproc) cores, $(wine --version 2>/dev/null), $(. /etc/os-release && echo "$PRETTY_NAME"), $rounds rounds of: $*"
count=${#builds[@]}
for ((round = 0; round < rounds; ++round)); do
  for ((turn = 0; turn < count; ++turn)); do
    build=${builds[$(((round + turn) % count))]}
    name="$(basename "$build") $(git -C "$build" log -1 --format=%h 2>/dev/null)"
    [ -z "$(git -C "$build" status --porcelain -- src cmake CMakeLists.txt 2>/dev/null)" ] || name="$name+changes"
    # "| tree | files | ours | bare | ours / bare | ..." rows, one per tree;
    # a row whose trees did not all go times nothing worth keeping.
    wine "$build/$bench" 'C:\bench-scratch' "$@" | tr -d '\r' |
      awk -F' *\\| *' -v build="$name" -v round="$round" \
        '$2 != "" && $6 ~ /^[0-9.]+$/ && !/not removed completely/ { split($2, t, " "); print build "\t" t[1] "\t" round "\t" $6 }' >>"$results"
  done
  echo "round $((round + 1)) of $rounds done at $(date +%T)" >&2
  # Kept as it grows, so that a long run stopped early still gives its rows.
  [ -z "$raw" ] || cp "$results" "$raw"
done
table "$results"
