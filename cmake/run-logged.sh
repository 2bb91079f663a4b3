#!/bin/sh
# Runs a command with its output in a file, then prints the file. Wine starts
# helper processes (the desktop, services) that live on after a test and
# inherit its output: were that ctest's pipe, ctest would wait for them to
# end. A file keeps the pipe free. With CLEANER_SKIPPED_LOG set, the tests
# that GoogleTest skipped are added to that file with their reasons.
log=$(mktemp)
"$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
if [ -n "${CLEANER_SKIPPED_LOG:-}" ]; then
  # "FILE:LINE: Skipped", the reason on the next line, then "[  SKIPPED ] NAME (N ms)".
  tr -d '\r' <"$log" | awk '
    /: Skipped$/ { getline reason; next }
    /^\[  SKIPPED \] [^ ]+ \(/ { print $4 ": " reason; reason = "" }' >>"$CLEANER_SKIPPED_LOG"
fi
rm -f "$log"
exit $status
