#!/usr/bin/env bash
# Configures and builds both presets: the Windows program with its tests,
# and the portable rules with theirs.
set -euo pipefail
cd "$(dirname "$0")/.."

for preset in windows host; do
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset"
done
