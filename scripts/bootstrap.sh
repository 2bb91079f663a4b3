#!/usr/bin/env bash
# Installs everything the build, tests and demo need on a Debian machine
# (mmdebstrap makes the Debian 13 root that the tests run Wine 10 in;
# osslsigncode signs a release).
# Run as root (or through sudo); safe to run again: it does nothing when all
# packages are already present.
set -euo pipefail

packages=(
  cmake ninja-build git
  g++-mingw-w64-i686-posix mingw-w64-i686-dev binutils-mingw-w64-i686
  g++-mingw-w64-x86-64-posix mingw-w64-x86-64-dev binutils-mingw-w64-x86-64 binutils
  wine wine32 wine64 fonts-wine
  xvfb xauth x11-utils xdotool imagemagick python3-xlib
  googletest libgtest-dev
  clang libclang-rt-14-dev
  mmdebstrap osslsigncode openssl
)

as_root() {
  if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi
}

need_i386=0
dpkg --print-foreign-architectures | grep -qx i386 || need_i386=1

missing=()
for p in "${packages[@]}"; do
  if [ "$p" = wine32 ]; then q="wine32:i386"; else q="$p"; fi
  status=$(dpkg-query -W -f='${Status}' "$q" 2>/dev/null || true)
  [ "$status" = "install ok installed" ] || missing+=("$p")
done

if [ "$need_i386" -eq 0 ] && [ "${#missing[@]}" -eq 0 ]; then
  echo "bootstrap: all packages present"
  exit 0
fi

echo "bootstrap: installing ${missing[*]:-i386 architecture}"
if [ "$need_i386" -eq 1 ]; then
  as_root dpkg --add-architecture i386
fi
export DEBIAN_FRONTEND=noninteractive
# A mirror in the middle of a sync serves an index that fails its check;
# apt then keeps the index it had, and the install below says whether what
# it needs is there. Tried a few times, then left to the install to judge.
for attempt in 1 2 3; do
  as_root apt-get update -qq && break
  echo "bootstrap: package index update failed (attempt $attempt)" >&2
  sleep $((attempt * 5))
done
install_packages() { as_root apt-get install -y -qq --no-install-recommends "$@" "${packages[@]/#wine32/wine32:i386}" >/dev/null; }
# Where one architecture's index of the security updates could not be had,
# the i386 and amd64 copies of a library would differ in version, which
# multiarch forbids: the release's own packages, whose indexes are all
# there, then serve both.
if ! install_packages; then
  release=$(. /etc/os-release && echo "${VERSION_CODENAME:-}")
  [ -n "$release" ] || exit 1
  echo "bootstrap: trying again with the packages of $release itself" >&2
  install_packages -t "$release"
fi
echo "bootstrap: done"
