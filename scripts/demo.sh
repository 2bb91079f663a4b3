#!/usr/bin/env bash
# Tries the program as a user would, on Linux: builds it, makes a throwaway
# Wine prefix with a sample product profile, runs the cleaner silently and
# shows what was there before, what is left after, and the exit code.
# Where the machine runs no 32-bit programs (or with CLEANER_WINDOWS_BUILD=64)
# it runs the 64-bit build of the same sources.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
. scripts/steps.sh

step "installing what is missing"
bash scripts/bootstrap.sh
. scripts/machine.sh
choose_windows_build
use_windows_build "$CLEANER_WINDOWS_BUILD"
if machine_runs_32bit; then runs="this machine runs 32-bit programs"; else runs="this machine runs no 32-bit programs"; fi
step "$runs: the demo runs $(windows_build_name "$CLEANER_WINDOWS_BUILD") (build/$CLEANER_PRESET)"
cmake --preset "$CLEANER_PRESET" >/dev/null
cmake --build --preset "$CLEANER_PRESET" --target VelmoraRegistryCleaner plandrel_standin window_probe

. scripts/wine-env.sh
export WINEPREFIX=$root/build/wineprefix-demo
step "making a throwaway Wine prefix in $WINEPREFIX"
make_prefix "$WINEPREFIX" win64
ensure_display
pointer_pid=
cleanup() {
  [ -z "$pointer_pid" ] || kill "$pointer_pid" 2>/dev/null || true
  wineserver -k 2>/dev/null || true
  [ -z "${XVFB_PID:-}" ] || kill "$XVFB_PID" 2>/dev/null || true
}
trap cleanup EXIT
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1

user_dir=$(ls -d "$WINEPREFIX"/drive_c/users/*/ | grep -v /Public/ | head -1)
user_dir=${user_dir%/}
local_dir=$user_dir/AppData/Local
roaming_dir=$user_dir/AppData/Roaming
documents_dir=$user_dir/Documents

seed() {  # seed FOLDER: nested product files
  mkdir -p "$1/Cache/Thumbnails" "$1/Preferences/17.0"
  echo "cache" > "$1/Cache/index.dat"
  echo "thumb" > "$1/Cache/Thumbnails/0001.png"
  echo "<prefs/>" > "$1/Preferences/17.0/user.xml"
  echo "settings" > "$1/Preferences/settings.cfg"
}
targets=(
  "$local_dir/Velmora" "$local_dir/VL-LW-Temp" "$user_dir/AppData/Velmora" "$user_dir/Velmora"
  "$roaming_dir/Velmora" "$roaming_dir/Install.VL" "$documents_dir/Lumetra" "$documents_dir/Quillo"
)
for t in "${targets[@]}"; do seed "$t"; done
echo "read-only" > "$local_dir/Velmora/Cache/locked-down.dat"
echo "hidden" > "$roaming_dir/Velmora/hidden-state.bin"
# Things that must survive: neighbours with similar names.
mkdir -p "$local_dir/VelmoraX" "$documents_dir/Quillo2"
echo keep > "$local_dir/VelmoraX/keep.txt"
echo keep > "$local_dir/Velmora.txt"
echo keep > "$documents_dir/Quillo2/keep.txt"

mkdir -p "$WINEPREFIX/drive_c/Tools"
cp "$CLEANER_BIN/VelmoraRegistryCleaner.exe" "$WINEPREFIX/drive_c/Tools/"
printf '[Settings]\r\nKeepRegistry=0\r\nKeepSNFindOutMore=1\r\nKeepVaultry=1\r\nKeepQRX=0\r\n' \
  > "$WINEPREFIX/drive_c/Tools/Settings.ini"
wine attrib +r 'C:\users\'"$(basename "$user_dir")"'\AppData\Local\Velmora\Cache\locked-down.dat' >/dev/null 2>&1 || true
wine attrib +h 'C:\users\'"$(basename "$user_dir")"'\AppData\Roaming\Velmora\hidden-state.bin' >/dev/null 2>&1 || true

# The maker's registry trees, with neighbours that must survive.
# "wine reg" may be the 32-bit reg.exe: /reg:64 reaches the 64-bit view,
# the one the cleaner works in.
reg_add() { wine reg add "$@" /reg:64 /f >/dev/null 2>&1; }
for key in EventLogger\\General EventLogger\\Beta_PL_17 EventLogger\\Session42 UsageLogger\\General \
           UsageLogger\\Crashes FindOutMore\\Pages Plandrel\\17.0\\Recent Lumetra\\Window; do
  reg_add "HKCU\\Software\\Velmora\\$key"
done
reg_add 'HKCU\Software\Velmora' /v InstallLanguage /d en
for key in Vaultry\\Server Plandrel\\17.0\\Qrx Plandrel\\16.0 Lumetra\\3.0; do
  reg_add "HKLM\\Software\\Velmora\\$key"
done
reg_add 'HKCU\Software\VelmoraX\Neighbour'
reg_add 'HKLM\Software\Wow6432Node\Velmora\Plandrel\17.0'

show_registry() {
  local root
  for root in 'HKCU\Software\Velmora' 'HKLM\Software\Velmora' 'HKCU\Software\VelmoraX' \
              'HKLM\Software\Wow6432Node\Velmora'; do
    wine reg query "$root" /s /reg:64 2>/dev/null | tr -d '\r' | grep -E '^HKEY|REG_' | sed 's/^/  /' \
      || echo "  $root: (gone)"
  done
}

show() {
  (cd "$user_dir" && find . \( -path ./AppData/Local/Microsoft -o -path ./AppData/Roaming/Microsoft \
      -o -path ./AppData/Local/Temp -o -path ./Temp \) -prune -o -type f -print \
      | grep -Ei 'velmora|vl-lw|install\.vl|lumetra|quillo' | sed 's|^\./|  |' | sort)
}

echo
echo "== Settings.ini beside the program (C:\\Tools)"
sed 's/^/  /' "$WINEPREFIX/drive_c/Tools/Settings.ini" | tr -d '\r'
echo
echo "== before: product files in the profile ($(basename "$user_dir"))"
show
echo
echo "== before: registry (the last two are neighbours that must stay)"
show_registry
echo
echo "== running: \"C:\\Tools\\VelmoraRegistryCleaner.exe\" /S 2> report.txt"
report=$root/build/demo/report.txt
mkdir -p "$(dirname "$report")"
set +e
wine 'C:\Tools\VelmoraRegistryCleaner.exe' /S 2> "$report"
code=$?
set -e
echo "== the report lines a script reads (standard error was redirected):"
tr -d '\r' < "$report" | sed 's/^/  /'

echo
echo "== after: what is left"
left=$(show)
if [ -z "$left" ]; then echo "  (nothing but the neighbours)"; fi
echo "$left" | grep -v '^$' || true
echo
echo "== after: registry (KeepSNFindOutMore keeps the loggers' General and Beta entries and"
echo "   FindOutMore; KeepVaultry keeps Vaultry; the rest of both trees is gone)"
show_registry
echo
echo "== exit code: $code (0 = everything removed, 1 = something stayed, 2 = could not start,"
echo "   3 = the product of a re-registration could not be started)"

echo
echo "== re-registration: a stand-in for the product in C:\\Demo\\Plandrel 12"
product_dir="$WINEPREFIX/drive_c/Demo/Plandrel 12"
mkdir -p "$product_dir"
cp "$CLEANER_BIN/plandrel_standin.exe" "$product_dir/Plandrel.exe"
printf '<version>\r\n  <prefspostfix>12.0.0 INT R1</prefspostfix>\r\n</version>\r\n' > "$product_dir/ProductVersion.xml"
seed "$local_dir/Velmora"
echo "  running: \"C:\\Tools\\VelmoraRegistryCleaner.exe\" \"C:\\Demo\\Plandrel 12\\Plandrel.exe\""
xdotool mousemove 640 480 sleep 600 &
pointer_pid=$!
wine 'C:\Tools\VelmoraRegistryCleaner.exe' 'C:\Demo\Plandrel 12\Plandrel.exe' </dev/null >/dev/null 2>&1 &
cleaner_pid=$!
probe() { wine "$CLEANER_BIN/window_probe.exe" "$@" </dev/null 2>/dev/null | tr -d '\r'; }
if ! wine "$CLEANER_BIN/window_probe.exe" wait 'Set Velmora Registry' 1010 30000 </dev/null >/dev/null 2>&1; then
  echo "  the developer dialog did not appear" >&2
  exit 1
fi
echo "  the product was started as: $(cat "$product_dir/started.txt")"
echo "  the developer dialog is open; pressing Set (Enter)"
xdotool key Return
# Set writes into the registry before it says so; a slow machine takes longer.
for _ in $(seq 100); do
  status=$(probe text 'Set Velmora Registry' 1010)
  [ "$status" != "PL Registry successfully set." ] || break
  sleep 0.2
done
echo "  status line: $status"
mkdir -p build/demo
read -r x y w h <<<"$(probe rect 'Set Velmora Registry' 1010)"
import -window root -crop "${w}x${h}+${x}+${y}" +repage build/demo/developer-dialog.png
echo "  screenshot: build/demo/developer-dialog.png"
echo
echo "== values written under the product's fresh version key"
wine reg query 'HKCU\Software\Velmora\Plandrel\Plandrel 12.0.0 INT R1' /s </dev/null 2>/dev/null \
  | tr -d '\r' | grep -E '^HKEY|REG_' | sed 's/^/  /'
wine reg query 'HKCU\Software\Velmora\QuilloUploader' /s </dev/null 2>/dev/null \
  | tr -d '\r' | grep -E '^HKEY|REG_' | sed 's/^/  /'
xdotool key Escape
set +e
wait "$cleaner_pid"
code=$?
set -e
echo
echo "== exit code of the re-registration run: $code"
