#!/usr/bin/env bash
# The release a lab can verify: builds the program alone (no tests) and
# makes dist/VelmoraRegistryCleaner-<version>-win32.zip (the program and the
# README) and dist/SHA256SUMS.
#
#   scripts/package.sh [SIGNING] [--dist DIR]   build and package into dist/ (or DIR)
#   scripts/package.sh --check   build twice from copies of this tree in two
#                                different folders and fail unless the two
#                                programs and the two archives are identical
#
# SIGNING, each also an environment variable:
#   --pfx FILE            CLEANER_SIGN_PFX            a code-signing certificate with its key
#   --password-file FILE  CLEANER_SIGN_PASSWORD_FILE  the PFX's password (first line)
#   --timestamp URL       CLEANER_SIGN_TIMESTAMP_URL  an RFC 3161 time-stamp server
# With a certificate the program is signed (Authenticode, SHA-256) before it
# goes into the archive and the checksums are taken. Without one the release
# is unsigned and reproducible: the link leaves out the time stamp, the
# compiler maps the source folder away, and the archive has fixed file
# times, order and modes.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
version=$(sed -n 's/^project(VelmoraRegistryCleaner VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=VelmoraRegistryCleaner-$version-win32

check=0
dist=$root/dist
pfx=${CLEANER_SIGN_PFX:-}
password_file=${CLEANER_SIGN_PASSWORD_FILE:-}
timestamp=${CLEANER_SIGN_TIMESTAMP_URL:-}
while [ $# -gt 0 ]; do
  case "$1" in
    --check) check=1; shift ;;
    --dist) dist=$(realpath -m "$2"); shift 2 ;;
    --pfx) pfx=$2; shift 2 ;;
    --password-file) password_file=$2; shift 2 ;;
    --timestamp) timestamp=$2; shift 2 ;;
    *) echo "package: unknown option $1" >&2; exit 2 ;;
  esac
done
if [ -n "$pfx" ]; then
  [ -f "$pfx" ] || { echo "package: no certificate file $pfx" >&2; exit 2; }
  [ -n "$password_file" ] && [ -f "$password_file" ] ||
    { echo "package: a certificate needs its password file (--password-file)" >&2; exit 2; }
fi

bash scripts/bootstrap.sh >/dev/null

# build SOURCE BUILD: the program only, in release form.
build() {
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-i686-posix.cmake" -DGTEST_SOURCE_DIR=/nonexistent >/dev/null
  cmake --build "$2" --target VelmoraRegistryCleaner >/dev/null
}

# archive EXE README ZIP: fixed times, order and modes, whatever the files'.
archive() {
  python3 - "$@" <<'PY'
import sys, zipfile
exe, readme, target = sys.argv[1:4]
with zipfile.ZipFile(target, "w") as z:
    for path, arcname in ((exe, "VelmoraRegistryCleaner.exe"), (readme, "README.md")):
        info = zipfile.ZipInfo(arcname, date_time=(1980, 1, 1, 0, 0, 0))
        info.create_system = 0
        info.external_attr = 0o644 << 16
        info.compress_type = zipfile.ZIP_DEFLATED
        with open(path, "rb") as f:
            z.writestr(info, f.read(), compresslevel=9)
PY
}

# A copy of the working tree (without builds, releases and history).
copy_tree() {
  mkdir -p "$1"
  tar -C "$root" --exclude=./build --exclude=./dist --exclude=./.git -cf - . | tar -C "$1" -xf -
}

if [ "$check" -eq 1 ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  for tree in first-tree "second tree/elsewhere"; do
    copy_tree "$scratch/$tree"
    build "$scratch/$tree" "$scratch/$tree/build/release"
    archive "$scratch/$tree/build/release/bin/VelmoraRegistryCleaner.exe" "$scratch/$tree/README.md" \
      "$scratch/$tree/$name.zip"
  done
  exe1=$scratch/first-tree/build/release/bin/VelmoraRegistryCleaner.exe
  exe2="$scratch/second tree/elsewhere/build/release/bin/VelmoraRegistryCleaner.exe"
  if ! cmp "$exe1" "$exe2"; then
    echo "package: the two builds of the program differ" >&2
    exit 1
  fi
  if ! cmp "$scratch/first-tree/$name.zip" "$scratch/second tree/elsewhere/$name.zip"; then
    echo "package: the two archives differ" >&2
    exit 1
  fi
  echo "package: two builds in two folders are identical ($(sha256sum < "$exe1" | cut -c1-16)...)"
  exit 0
fi

build "$root" "$root/build/release"
program=build/release/bin/VelmoraRegistryCleaner.exe
if [ -n "$pfx" ]; then
  signed=build/release/VelmoraRegistryCleaner-signed.exe
  rm -f "$signed"
  osslsigncode sign -pkcs12 "$pfx" -readpass "$password_file" -h sha256 \
    -n "Velmora Registry Cleaner" ${timestamp:+-ts "$timestamp"} -in "$program" -out "$signed" >/dev/null
  program=$signed
  echo "package: signed with $pfx${timestamp:+, time-stamped by $timestamp}"
fi
mkdir -p "$dist"
rm -f "$dist/$name.zip" "$dist/SHA256SUMS"
archive "$program" README.md "$dist/$name.zip"
(cd "$dist" && sha256sum "$name.zip" > SHA256SUMS)
echo "package: $dist/$name.zip"
cat "$dist/SHA256SUMS"
