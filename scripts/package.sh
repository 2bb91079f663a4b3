#!/usr/bin/env bash
# The release a lab can verify: builds the program and its Windows tests and
# makes, in dist/, VelmoraRegistryCleaner-<version>-win32.zip (the program and
# the README), VelmoraRegistryCleaner-<version>-win32-selftest.zip (the
# program as released, the Windows tests that need nothing of the Unix
# side, the product stand-in and run-selftest.cmd) and SHA256SUMS.
#
#   scripts/package.sh [SIGNING] [--dist DIR]   build and package into dist/ (or DIR)
#   scripts/package.sh --check   build twice from copies of this tree in two
#                                different folders and fail unless the two
#                                programs and both pairs of archives are identical
#   scripts/package.sh --selftest-from BIN --dist DIR
#                                only the self-test bundle, of programs built
#                                already in BIN (the test command's, of the
#                                build this machine runs)
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
selftest_from=
dist=$root/dist
pfx=${CLEANER_SIGN_PFX:-}
password_file=${CLEANER_SIGN_PASSWORD_FILE:-}
timestamp=${CLEANER_SIGN_TIMESTAMP_URL:-}
while [ $# -gt 0 ]; do
  case "$1" in
    --check) check=1; shift ;;
    --selftest-from) selftest_from=$(realpath -m "$2"); shift 2 ;;
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

# What the self-test bundle holds besides the program: the test programs
# run-selftest.cmd runs, the product stand-in and the helper they start.
# Left out: what needs the Unix side (the interactive script with Xvfb and
# xdotool, the fixtures it lays out) and the release checks.
selftest_programs=(win_framework_tests win_folder_tree_tests win_version_file_tests win_dialog_tests
  e2e_program_file_tests win_registry_tests win_registry32_tests win_developer_dialog_tests e2e_registry_run_tests
  e2e_silent_run_tests e2e_reregistration_tests plandrel_standin window_probe)

# selftest_archive BIN PROGRAM ZIP: the bundle of the test programs in BIN,
# with PROGRAM as the cleaner, fixed times, order and modes; the texts with
# the CR LF line ends of Windows.
selftest_archive() {
  python3 - "$root/scripts/selftest" "$@" "${selftest_programs[@]}" <<'PY'
import os, sys, zipfile
texts, bin_dir, program, target, *names = sys.argv[1:]
entries = [("VelmoraRegistryCleaner.exe", program)]
entries += [(name + ".exe", os.path.join(bin_dir, name + ".exe")) for name in names]
with zipfile.ZipFile(target, "w") as z:
    def add(arcname, data):
        info = zipfile.ZipInfo(arcname, date_time=(1980, 1, 1, 0, 0, 0))
        info.create_system = 0
        info.external_attr = 0o644 << 16
        info.compress_type = zipfile.ZIP_DEFLATED
        z.writestr(info, data, compresslevel=9)
    for arcname, path in entries:
        with open(path, "rb") as f:
            add(arcname, f.read())
    for name in ("run-selftest.cmd", "README-selftest.txt"):
        with open(os.path.join(texts, name), "rb") as f:
            add(name, f.read().replace(b"\r\n", b"\n").replace(b"\n", b"\r\n"))
PY
}

if [ -n "$selftest_from" ]; then
  # Named for the processor its programs are built for: the 64-bit build's
  # bundle is never released.
  machine=$(python3 -c 'import struct, sys
data = open(sys.argv[1], "rb").read(4096)
print("win64" if struct.unpack_from("<H", data, struct.unpack_from("<I", data, 0x3C)[0] + 4)[0] == 0x8664 else "win32")' \
    "$selftest_from/VelmoraRegistryCleaner.exe")
  bundle=$dist/VelmoraRegistryCleaner-$version-$machine-selftest.zip
  mkdir -p "$dist"
  selftest_archive "$selftest_from" "$selftest_from/VelmoraRegistryCleaner.exe" "$bundle"
  echo "package: $bundle (of $selftest_from)"
  exit 0
fi

bash scripts/bootstrap.sh >/dev/null

# build SOURCE BUILD: the program and the bundle's test programs, in release form.
build() {
  cmake -S "$1" -B "$2" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$1/cmake/mingw-i686-posix.cmake" >/dev/null
  cmake --build "$2" --target VelmoraRegistryCleaner "${selftest_programs[@]}" >/dev/null
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
    selftest_archive "$scratch/$tree/build/release/bin" "$scratch/$tree/build/release/bin/VelmoraRegistryCleaner.exe" \
      "$scratch/$tree/$name-selftest.zip"
  done
  exe1=$scratch/first-tree/build/release/bin/VelmoraRegistryCleaner.exe
  exe2="$scratch/second tree/elsewhere/build/release/bin/VelmoraRegistryCleaner.exe"
  if ! cmp "$exe1" "$exe2"; then
    echo "package: the two builds of the program differ" >&2
    exit 1
  fi
  for zip in "$name.zip" "$name-selftest.zip"; do
    if ! cmp "$scratch/first-tree/$zip" "$scratch/second tree/elsewhere/$zip"; then
      echo "package: the two builds' $zip differ" >&2
      exit 1
    fi
  done
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
rm -f "$dist/$name.zip" "$dist/$name-selftest.zip" "$dist/SHA256SUMS"
archive "$program" README.md "$dist/$name.zip"
# The bundle holds the program as released, signed where the release is.
selftest_archive build/release/bin "$program" "$dist/$name-selftest.zip"
(cd "$dist" && sha256sum "$name.zip" "$name-selftest.zip" > SHA256SUMS)
echo "package: $dist/$name.zip and $dist/$name-selftest.zip"
cat "$dist/SHA256SUMS"
