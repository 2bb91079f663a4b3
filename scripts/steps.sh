# Sourced by the scripts a user or CI runs: each step says what it does, and
# a failure names its step and the command that failed, never a silent exit.
#
#   step TEXT   prints "== TEXT"; a failure from here on names this step
set -E  # functions and subshells report their own failures too
steps_current="starting"
step() {
  steps_current=$1
  echo "== $1"
}
trap 'steps_status=$?; echo "$(basename "$0"): \"$steps_current\" failed: $BASH_COMMAND (exit code $steps_status)" >&2' ERR
