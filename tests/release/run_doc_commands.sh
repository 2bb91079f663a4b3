#!/usr/bin/env bash
# Runs the shell blocks of Markdown pages as a reader would, in order, from
# the checkout's root, and stops at the first command that fails. Meant for
# a fresh clone:
#
#   bash tests/release/run_doc_commands.sh README.md docs/release.md
#
# DOC_COMMANDS_SKIP, a regular expression, leaves out the lines it matches
# (the test command, say, which CI runs anyway).
set -euo pipefail
cd "$(dirname "$0")/../.."
for page in "$@"; do
  echo "== the commands of $page"
  mkdir -p build
  python3 - "$page" "${DOC_COMMANDS_SKIP:-^$}" > build/doc-commands.sh <<'PY'
import re, sys
text = open(sys.argv[1]).read()
skip = re.compile(sys.argv[2])
print('PS4="+ [\\$(date +%T)] "; set -ex')  # each command with the time it started
for block in re.findall(r"```(?:sh|bash)\n(.*?)```", text, re.S):
    for line in block.replace("\\\n", " ").splitlines():
        if line.strip() and not skip.search(line):
            print(line)
PY
  bash build/doc-commands.sh
done
