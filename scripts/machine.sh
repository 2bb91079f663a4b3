# Sourced by the scripts: which Windows build this machine can run.
#
# A kernel may run no 32-bit x86 code at all (IA-32 emulation switched off).
# There no Wine runs the 32-bit program, and the same sources built as a
# 64-bit program take its place under Wine's 64-bit loader. The machine is
# asked, never judged by its kernel version or name.
#
#   machine_runs_32bit     true when it does; asked once, by running a tiny
#                          32-bit program, the answer kept for every script
#                          after in CLEANER_RUNS_32BIT (yes or no)
#   choose_windows_build   sets CLEANER_WINDOWS_BUILD: 32 where 32-bit programs
#                          run, else 64; CLEANER_WINDOWS_BUILD=64 given by the
#                          caller takes the 64-bit path on any machine
#   use_windows_build 32|64
#                          sets CLEANER_PRESET, CLEANER_BIN (the build's
#                          programs) and CLEANER_WINE_STATE (its test
#                          prefixes); for 64, puts Wine's 64-bit loader first
#                          on PATH as "wine" and "wineboot"
#   windows_build_name 32|64
#                          "the 32-bit program" or "the 64-bit build"

machine_checkout=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

machine_runs_32bit() {
  if [ -z "${CLEANER_RUNS_32BIT:-}" ]; then
    local probe
    probe=$(mktemp -d)
    # exit(0) through the 32-bit system call gate: a kernel without IA-32
    # emulation refuses to load the program at all (Exec format error).
    printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' > "$probe/exit.s"
    if ! as --32 -o "$probe/exit.o" "$probe/exit.s" || ! ld -m elf_i386 -o "$probe/exit" "$probe/exit.o"; then
      rm -rf "$probe"
      echo "machine: cannot make the 32-bit probe (as and ld of binutils)" >&2
      return 2
    fi
    if "$probe/exit" 2>/dev/null; then CLEANER_RUNS_32BIT=yes; else CLEANER_RUNS_32BIT=no; fi
    rm -rf "$probe"
    export CLEANER_RUNS_32BIT
  fi
  [ "$CLEANER_RUNS_32BIT" = yes ]
}

choose_windows_build() {
  local runs32=yes answer=0
  machine_runs_32bit || answer=$?
  [ "$answer" -le 1 ] || return "$answer"
  [ "$answer" -eq 0 ] || runs32=no
  case "${CLEANER_WINDOWS_BUILD:-}" in
    "") if [ "$runs32" = yes ]; then CLEANER_WINDOWS_BUILD=32; else CLEANER_WINDOWS_BUILD=64; fi ;;
    64) ;;
    32) if [ "$runs32" = no ]; then
          echo "machine: CLEANER_WINDOWS_BUILD=32, but this machine runs no 32-bit programs" >&2
          return 2
        fi ;;
    *) echo "machine: CLEANER_WINDOWS_BUILD is 32 or 64, not '$CLEANER_WINDOWS_BUILD'" >&2; return 2 ;;
  esac
  export CLEANER_WINDOWS_BUILD
}

use_windows_build() {
  case "$1" in
    32) CLEANER_PRESET=windows CLEANER_WINE_STATE=$machine_checkout/build/wine ;;
    64) CLEANER_PRESET=windows64 CLEANER_WINE_STATE=$machine_checkout/build/wine64
        case ":$PATH:" in
          *":$machine_checkout/scripts/wine64:"*) ;;
          *) PATH=$machine_checkout/scripts/wine64:$PATH ;;
        esac ;;
    *) echo "machine: no Windows build '$1'" >&2; return 2 ;;
  esac
  CLEANER_BIN=$machine_checkout/build/$CLEANER_PRESET/bin
  export CLEANER_PRESET CLEANER_BIN CLEANER_WINE_STATE PATH
}

windows_build_name() {
  if [ "$1" = 64 ]; then echo "the 64-bit build"; else echo "the 32-bit program"; fi
}
