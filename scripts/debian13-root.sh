#!/usr/bin/env bash
# A Debian 13 root that holds Wine 10, for running the Windows tests and the
# benchmark under the Wine that deletes with POSIX semantics, as Windows 10
# and 11 do. Made from Debian's packages with mmdebstrap, kept in a cache
# folder outside the checkout, and reused by every later run and clone.
#
#   scripts/debian13-root.sh path                 make the root if needed; print its folder
#   scripts/debian13-root.sh run [--bind HOST:AT]... -- COMMAND...
#                                                 run COMMAND in the root, in this checkout's folder
#
# A run sees this checkout at its own path, bound into the root inside a
# private mount and process namespace: every mount goes with the namespace,
# whose processes all end with COMMAND, also when it fails or is killed.
# Nothing is ever mounted in the root outside such a namespace. A run holds
# a shared lock for its whole life (its processes inherit it); making or
# removing the root takes the lock exclusively, so nothing removes the root
# while a run has anything bound into it.
#
# Needs root. CLEANER_CACHE moves the cache (default ~/.cache/velmora-cleaner);
# CLEANER_DEBIAN_MIRROR names the Debian mirror (default deb.debian.org).
# The cache folder and every folder above it must be root's and writable by
# no one else, and the lock a regular file, never a link: anything else is
# refused before it is used.
set -euo pipefail
args=("$@")
checkout=$(cd "$(dirname "$0")/.." && pwd)
# Without links, so that what is checked below is what is used.
cache=$(realpath -m -- "${CLEANER_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/velmora-cleaner}")
mirror=${CLEANER_DEBIAN_MIRROR:-http://deb.debian.org/debian}
suite=trixie
target=$cache/debian13-wine10
lock=$cache/debian13-wine10.lock
stamp=.cleaner-root-complete
binds=()  # HOST:AT pairs bound into the root, besides the checkout

# What the tests, the benchmark and their scripts call in the root.
packages=(
  wine wine32:i386 wine64 fonts-wine
  xvfb xauth x11-utils xdotool imagemagick python3 python3-xlib
  cmake mount procps
)
# A root is complete when it was made from exactly this list and its Wine
# answers; any other root is made anew.
key="suite=$suite packages=${packages[*]} layout=1"

[ "$(id -u)" -eq 0 ] || { echo "debian13-root: needs root (mounts in a private namespace)" >&2; exit 1; }
# Whether this machine runs 32-bit programs, asked on the host (the root has
# no assembler) and handed to everything run in the root.
. "$checkout/scripts/machine.sh"
machine_runs_32bit || [ $? -eq 1 ]

refuse() { echo "debian13-root: $*; refused" >&2; exit 1; }

# The root is chrooted into and the lock opened as root: anyone else who
# could change a folder on the way to them could swap in their own. Kept
# strict: a sticky world-writable folder such as /tmp is refused too, as
# anyone may plant the names below it before root makes them.
check_cache_path() {  # check_cache_path [made]: with made, every folder must exist
  local dir=$cache owner mode
  while :; do
    if [ -L "$dir" ] || { [ -e "$dir" ] && [ ! -d "$dir" ]; }; then
      refuse "$dir, on the cache's path, is not a folder"
    elif [ -d "$dir" ]; then
      read -r owner mode < <(stat -c '%u %a' -- "$dir")
      [ "$owner" -eq 0 ] || refuse "$dir, on the cache's path, is owned by uid $owner, not root"
      (( (8#$mode & 8#022) == 0 )) || refuse "$dir, on the cache's path, is writable by group or others (mode $mode)"
    elif [ "${1:-}" = made ]; then
      refuse "$dir, on the cache's path, is missing"
    fi
    [ "$dir" = / ] && return 0
    dir=$(dirname -- "$dir")
  done
}

is_complete() { [ -f "$target/$stamp" ] && [ "$(cat "$target/$stamp")" = "$key" ]; }

# Any mount point at or below the folder, seen by any process (a namespace
# whose processes are all inside a chroot shows none, but then the lock is
# held).
mounted_below() {
  local dir=$1 file
  for file in /proc/[0-9]*/mountinfo; do
    awk -v d="$dir" '$5 == d || index($5, d "/") == 1 { found = 1 } END { exit !found }' "$file" 2>/dev/null &&
      return 0
  done
  return 1
}

remove_root() {  # remove_root DIR: only with the lock held exclusively
  local dir=$1
  [ -e "$dir" ] || return 0
  if mounted_below "$dir"; then
    echo "debian13-root: $dir has mounts below it; not removed" >&2
    return 1
  fi
  rm -rf --one-file-system "$dir"
}

make_root() {
  local new=$target.new.$$
  remove_root "$target"
  local old
  for old in "$target".new.*; do remove_root "$old"; done
  echo "debian13-root: making a Debian 13 root with Wine 10 in $target (a few minutes)"
  local started=$SECONDS
  mkdir -p "$new"
  # mmdebstrap mounts /proc and /dev in the new root while it installs: in
  # a namespace of its own, those go with it whatever happens.
  unshare --mount --pid --fork --kill-child --propagation private \
    mmdebstrap --quiet --mode=root --variant=apt --architectures=amd64,i386 \
      --aptopt='APT::Install-Recommends "false"' \
      --dpkgopt='path-exclude=/usr/share/doc/*' --dpkgopt='path-exclude=/usr/share/man/*' \
      --dpkgopt='path-exclude=/usr/share/locale/*' --dpkgopt='path-include=/usr/share/locale/locale.alias' \
      --include="$(IFS=,; echo "${packages[*]}")" \
      "$suite" "$new" "$mirror"
  # Asked the way a run asks it, in a namespace with /proc and /dev: the
  # 64-bit loader, which every machine runs, and the 32-bit one (Debian's
  # wine wrapper takes it) only where the machine runs 32-bit programs.
  local version loader loaders=(scripts/wine64/wine)
  machine_runs_32bit && loaders+=(wine)
  for loader in "${loaders[@]}"; do
    version=$(in_root "$new" "$loader" --version 2>&1 | tail -n 1 || true)
    case "$version" in
      wine-10.*) ;;
      *) echo "debian13-root: the new root's $loader answers '$version', not 10" >&2; remove_root "$new"; return 1 ;;
    esac
  done
  printf '%s' "$key" > "$new/$stamp"
  mv "$new" "$target"
  echo "debian13-root: made in $((SECONDS - started)) s ($version, $(du -sh "$target" | cut -f1))"
}

# Leaves the lock open on fd 9, a regular file opened without following a
# link: bash cannot, so python3 opens it (making it if missing) and
# runs this script again with it, which then finds it open.
open_lock() {
  if [ "${CLEANER_ROOT_LOCK_OPEN:-}" != "$lock" ]; then
    if [ -L "$lock" ] || { [ -e "$lock" ] && [ ! -f "$lock" ]; }; then
      refuse "the lock $lock is a link or not a regular file"
    fi
    # O_NONBLOCK: a FIFO would not hang the open.
    CLEANER_ROOT_LOCK_OPEN=$lock exec python3 -c '
import os, stat, sys
try:
    fd = os.open(sys.argv[1], os.O_RDONLY | os.O_CREAT | os.O_NOFOLLOW | os.O_NONBLOCK | os.O_NOCTTY, 0o644)
except OSError as e:
    sys.exit("debian13-root: the lock %s cannot be opened (%s); refused" % (sys.argv[1], e.strerror))
if not stat.S_ISREG(os.fstat(fd).st_mode):
    sys.exit("debian13-root: the lock %s is not a regular file; refused" % sys.argv[1])
os.dup2(fd, 9)
os.execvp("bash", ["bash"] + sys.argv[2:])
' "$lock" "$0" "${args[@]}"
  fi
  unset CLEANER_ROOT_LOCK_OPEN
  [ ! -L "$lock" ] && [ -f "$lock" ] && [ "/proc/$$/fd/9" -ef "$lock" ] ||
    refuse "fd 9 is not the lock $lock"
}

# Leaves the lock held shared on fd 9, with a complete root.
ensure_root() {
  check_cache_path
  (umask 022 && mkdir -p -- "$cache")
  check_cache_path made
  open_lock
  for _ in 1 2 3; do
    flock -s 9
    is_complete && return 0
    flock -x 9
    is_complete || make_root
  done
  is_complete
}

bind_into_root() {  # the root's mounts, made inside the private namespace
  local root=$1 checkout=$2
  shift 2
  mount -t proc proc "$root/proc"
  mount -t sysfs -o ro sysfs "$root/sys"
  # A /dev of a few nodes, so that nothing in the root reaches the host's.
  mount -t tmpfs -o mode=755 tmpfs "$root/dev"
  local node
  for node in null zero full random urandom tty; do
    touch "$root/dev/$node"
    mount --bind "/dev/$node" "$root/dev/$node"
  done
  mkdir -p "$root/dev/pts" "$root/dev/shm"
  mount -t devpts -o newinstance,ptmxmode=0666 devpts "$root/dev/pts"
  ln -s pts/ptmx "$root/dev/ptmx"
  mount -t tmpfs tmpfs "$root/dev/shm"
  mount -t tmpfs tmpfs "$root/tmp"
  mkdir -p "$root$checkout"
  mount --bind "$checkout" "$root$checkout"
  local pair
  for pair in "$@"; do
    mkdir -p "${pair%%:*}" "$root${pair#*:}"
    mount --bind "${pair%%:*}" "$root${pair#*:}"
  done
}

# in_root ROOT COMMAND...: COMMAND in ROOT, in this checkout's folder, with
# the binds in the array binds. A network namespace too: X servers listen on
# abstract sockets, which would clash with the host's displays.
in_root() {
  local root=$1
  shift
  unshare --mount --pid --net --fork --kill-child --propagation private \
    bash -c "$(declare -f bind_into_root)"'
      set -euo pipefail
      root=$1 checkout=$2 nbinds=$3
      shift 3
      bind_into_root "$root" "$checkout" "${@:1:$nbinds}"
      shift "$nbinds"
      exec chroot "$root" /usr/bin/env -i PATH=/usr/local/bin:/usr/bin:/bin:/usr/sbin:/sbin HOME=/root \
        LANG=C.UTF-8 TERM="${TERM:-dumb}" CLEANER_WINE_NAME="the Debian 13 root" \
        CLEANER_RUNS_32BIT="$CLEANER_RUNS_32BIT" CLEANER_WINDOWS_BUILD="${CLEANER_WINDOWS_BUILD:-}" \
        bash -c "cd \"\$0\" && exec \"\$@\"" "$checkout" "$@"
    ' bind-into-root "$root" "$checkout" "${#binds[@]}" "${binds[@]}" "$@"
}

case "${1:-}" in
path)
  ensure_root
  echo "$target"
  ;;
run)
  shift
  while [ $# -gt 0 ] && [ "$1" != -- ]; do
    case "$1" in
      --bind) binds+=("$2"); shift 2 ;;
      *) echo "debian13-root: unknown option $1" >&2; exit 2 ;;
    esac
  done
  [ "${1:-}" = -- ] && shift
  [ $# -gt 0 ] || { echo "debian13-root: run needs a command" >&2; exit 2; }
  ensure_root
  in_root "$target" "$@"
  ;;
*)
  sed -n '2,23s/^# \{0,1\}//p' "$0" >&2
  exit 2
  ;;
esac
