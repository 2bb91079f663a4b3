#!/usr/bin/env bash
# The one test command: installs what is missing, builds every preset, runs
# the host tests, then every Windows test under two Wines, with the build
# this machine can run. Exits non-zero on any failure.
#
# Where the machine runs 32-bit programs: the 32-bit program under Wine 8
# and Wine 10, and the 64-bit build of the same sources under Wine 10. Where
# it runs none (or with CLEANER_WINDOWS_BUILD=64): the 64-bit build under
# both Wines; the 32-bit program is built and its file checked, not run.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
started=$SECONDS
. scripts/steps.sh

step "installing what is missing"
bash scripts/bootstrap.sh

step "the README and docs/: links, scripts and presets they name"
python3 tests/release/check_docs.py
. scripts/machine.sh
forced=${CLEANER_WINDOWS_BUILD:-}
choose_windows_build
host_wine=$(scripts/wine64/wine --version)
if [ "$CLEANER_WINDOWS_BUILD" = 32 ]; then
  plan="this machine runs 32-bit programs: the Windows tests run the 32-bit program under the host's Wine"
  plan="$plan ($host_wine) and Wine 10 of a Debian 13 root, and the 64-bit build of the same sources under Wine 10"
  lanes=("32 host" "32 root" "64 root")
else
  if [ -n "$forced" ] && machine_runs_32bit; then
    plan="CLEANER_WINDOWS_BUILD=64 on a machine that runs 32-bit programs: the path of one that runs none."
  else
    plan="this machine runs no 32-bit programs:"
  fi
  plan="$plan the Windows tests run the 64-bit build of the same sources under the host's Wine ($host_wine)"
  plan="$plan and Wine 10 of a Debian 13 root; the 32-bit program is built and its file checked, not run"
  lanes=("64 host" "64 root")
fi
echo "== $plan"

step "building"
bash scripts/build.sh

step "the program file, as both compilers built it"
python3 tests/release/check_program_file.py build/windows/bin/VelmoraRegistryCleaner.exe \
  build/windows-clang/bin/VelmoraRegistryCleaner.exe
step "the program file check, on copies patched to lack each declaration"
python3 tests/release/check_program_file.py --self-test build/windows/bin/VelmoraRegistryCleaner.exe

step "reproducible release: two builds in two folders"
bash scripts/package.sh --check

step "a signed release"
bash tests/release/signing_test.sh

step "host tests (sanitizers, fuzzers)"
ctest --preset host

# Wine 8 deletes the classic way; Wine 10 with POSIX semantics, as Windows
# 10 and 11 do. Each build and Wine keeps its prefixes apart; a failing run
# does not keep the others from running.
summary=$root/build/test-summary.txt
: > "$summary"
status=0
for lane in "${lanes[@]}"; do
  read -r build where <<<"$lane"
  use_windows_build "$build"
  if [ "$where" = host ]; then
    # The self-test bundle, as a Windows machine runs it, under this one
    # Wine: of the program this machine runs, which where it runs no 32-bit
    # programs is the 64-bit build's bundle, never released.
    step "the self-test bundle of $(windows_build_name "$build")"
    bundle=$(bash scripts/package.sh --selftest-from "$CLEANER_BIN" --dist "$root/build/selftest" |
      sed -n 's/^package: \(.*\) (of .*/\1/p')
    echo "== $(basename "$bundle"), of $(windows_build_name "$build")$([ "$build" = 64 ] && echo ", made for this machine's Wine and never released")"
    bash scripts/windows-tests.sh "$build" "$summary" "$bundle" || status=1
  else
    step "making or reusing the Debian 13 root with Wine 10"
    state=${CLEANER_WINE_STATE#"$root"/}
    bash scripts/debian13-root.sh run --bind "$root/$state-debian13:$root/$state" \
      -- bash scripts/windows-tests.sh "$build" "$summary" || status=1
  fi
done

echo
echo "== $plan"
sed 's/^/   /' "$summary"
if [ "$status" -eq 0 ]; then
  echo "== every test that could run passed, in $(((SECONDS - started) / 60)) min $(((SECONDS - started) % 60)) s"
else
  echo "== some Windows tests failed: see the runs above" >&2
fi
exit "$status"
