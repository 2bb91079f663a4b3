#!/usr/bin/env bash
# Tells whether two or more builds remove folders at different speeds.
#   bash bench/compare.sh [rounds=N] [raw=FILE] CHECKOUT... [-- BENCH-ARGUMENTS]
# Each CHECKOUT holds a built build/windows/bin/bench_folder_removal.exe.
# One figure of one run moves by up to 15% here (a shared host takes the
# processor away for whole seconds), more than the differences worth
# finding, so every round runs each build's bench once, in an order that
# turns each round, in one Wine prefix in memory. Each build gets its mean,
# 95% interval and difference from the first build's in three measures: the
# wall clock's ours / bare ratio of each run, the removing thread's
# processor time, and that time against the bare calls' in the same run.
# Builds that send Wine's server the same requests (bench/run.sh count) can
# differ only in the thread's own work, which the processor time shows
# without the stolen seconds. BENCH-ARGUMENTS default to "quick bare repeats=1".
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=12
raw=
builds=()
while [ $# -gt 0 ]; do
  case $1 in
    rounds=*) rounds=${1#rounds=} ;;
    raw=*) raw=$(realpath -m "${1#raw=}") ;;
    --) shift; break ;;
    *) builds+=("$(cd "$1" && pwd)") ;;
  esac
  shift
done
[ $# -gt 0 ] || set -- quick bare repeats=1
if [ ${#builds[@]} -lt 2 ]; then
  echo "usage: bash bench/compare.sh [rounds=N] [raw=FILE] CHECKOUT CHECKOUT... [-- BENCH-ARGUMENTS]" >&2
  exit 2
fi
for build in "${builds[@]}"; do
  [ -f "$build/build/windows/bin/bench_folder_removal.exe" ] || { echo "not built: $build" >&2; exit 2; }
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
echo "$(nproc) cores, $(wine --version 2>/dev/null), $(. /etc/os-release && echo "$PRETTY_NAME"), $rounds rounds of: $*"
count=${#builds[@]}
for ((round = 0; round < rounds; ++round)); do
  for ((turn = 0; turn < count; ++turn)); do
    build=${builds[$(((round + turn) % count))]}
    name="$(basename "$build") $(git -C "$build" log -1 --format=%h 2>/dev/null)"
    [ -z "$(git -C "$build" status --porcelain -- src cmake CMakeLists.txt 2>/dev/null)" ] || name="$name+changes"
    # "| tree | files | ours | bare | ours / bare | ..." rows, one per tree;
    # a row whose trees did not all go times nothing worth keeping.
    wine "$build/build/windows/bin/bench_folder_removal.exe" 'C:\bench-scratch' "$@" | tr -d '\r' |
      awk -F' *\\| *' -v build="$name" -v round="$round" \
        '$2 != "" && $6 ~ /^[0-9.]+$/ && $11 ~ /^[0-9.]+$/ && !/not removed completely/ { split($2, t, " "); print build "\t" t[1] "\t" round "\t" $6 "\t" $10 "\t" $11 }' >>"$results"
  done
  echo "round $((round + 1)) of $rounds done at $(date +%T)" >&2
  # Kept as it grows, so that a long run stopped early still gives its rows.
  [ -z "$raw" ] || cp "$results" "$raw"
done
python3 - "$results" <<'EOF'
import statistics, sys
from collections import defaultdict
MEASURES = ("wall clock, ours / bare", "thread CPU, ours (s)", "thread CPU, ours / bare")
runs = defaultdict(list)
order = []
for line in open(sys.argv[1]):
    build, tree, _, ratio, ours_cpu, bare_cpu = line.split("\t")
    values = float(ratio), float(ours_cpu), float(ours_cpu) / max(float(bare_cpu), 1e-9)
    for measure, value in zip(MEASURES, values):
        runs[build, tree, measure].append(value)
    if build not in order:
        order.append(build)
def interval(values):
    # Student's t, 95%, two-sided, for the degrees of freedom at hand.
    t = {1: 12.71, 2: 4.30, 3: 3.18, 4: 2.78, 5: 2.57, 6: 2.45, 7: 2.36, 8: 2.31, 9: 2.26,
         10: 2.23, 12: 2.18, 15: 2.13, 20: 2.09, 30: 2.04, 60: 2.00}
    df = len(values) - 1
    factor = t[max(k for k in t if k <= df)] if df >= 1 else float("nan")
    return factor * statistics.stdev(values) / len(values) ** 0.5 if df >= 1 else float("nan")
print("| tree | measure | build | runs | mean | 95% interval | median | against the first build |")
print("|---|---|---|---:|---:|---:|---:|---:|")
for tree in sorted({key[1] for key in runs}, key=lambda t: (t != "flat", t)):
    for measure in MEASURES:
        first = runs[order[0], tree, measure]
        for build in order:
            values = runs[build, tree, measure]
            if not values:
                continue
            mean = statistics.mean(values)
            against = ""
            if build != order[0] and first:
                # Welch: the two builds' means and their spreads apart.
                spread = (interval(values) ** 2 + interval(first) ** 2) ** 0.5
                against = "%+.1f%% ± %.1f%%" % (100 * (mean / statistics.mean(first) - 1),
                                                100 * spread / statistics.mean(first))
            print("| %s | %s | %s | %d | %.3f | ± %.3f | %.3f | %s |" %
                  (tree, measure, build, len(values), mean, interval(values), statistics.median(values), against))
EOF
