#!/bin/sh
# Runs a command with its output in a file, then prints the file. Wine starts
# helper processes (the desktop, services) that live on after a test and
# inherit its output: were that ctest's pipe, ctest would wait for them to
# end. A file keeps the pipe free.
log=$(mktemp)
"$@" >"$log" 2>&1 </dev/null
status=$?
cat "$log"
rm -f "$log"
exit $status
