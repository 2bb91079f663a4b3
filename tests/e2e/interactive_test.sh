#!/usr/bin/env bash
# The real program without arguments, under Xvfb, used as a person would:
# the pointer is placed with xdotool, keys are pressed with xdotool, and a
# small Windows helper reads what the dialogs show. Takes screenshots of the
# main, success and failure dialogs.
#
#   interactive_test.sh CLEANER.exe window_probe.exe SCREENSHOT-FOLDER PRODUCT-STAND-IN.exe
#
# Needs WINEPREFIX (a prefix with real profile folders) and DISPLAY.
set -uo pipefail
cleaner_exe=$1 probe_exe=$2 shots=$3 standin_exe=$4
here=$(cd "$(dirname "$0")" && pwd)
: "${WINEPREFIX:?set WINEPREFIX}" "${DISPLAY:?set DISPLAY}"
mkdir -p "$shots"

caption='Velmora Registry Cleaner'
progress_caption='Velmora Registry Cleaner at work'
main_dialog=1003            # the warning text
success_dialog='1000!1001'  # the text, no icon
failure_dialog='1001!1003'  # the icon, no warning text
passed=0 failed=0

check() {  # check DESCRIPTION COMMAND...
  local what=$1
  shift
  if "$@"; then
    passed=$((passed + 1))
  else
    failed=$((failed + 1))
    echo "FAIL: $what"
    # What the last run said it did, for telling why.
    [ ! -s "$report" ] || tr -d '\r' < "$report" | sed 's/^/  last run reported: /'
  fi
}

quiet() { "$@" </dev/null >/dev/null 2>&1; }
# Every wait is for a condition, with a deadline long enough for a slow,
# busy machine; none assumes that work is still going or already over.
until_true() {  # until_true SECONDS COMMAND...: tries the command until it holds
  local end=$((SECONDS + $1))
  shift
  until "$@"; do
    [ "$SECONDS" -lt "$end" ] || return 1
    sleep 0.1
  done
}
has_line() { grep -q "$2" "$1" 2>/dev/null; }
wait_line() { until_true 60 has_line "$1" "$2"; }  # a helper said so in its output file
field() { tr -d '\r' < "$1" | grep -o "$2=[0-9]*" | cut -d= -f2; }  # field FILE NAME of a watcher's line
probe() { wine "$probe_exe" "$@" 2>/dev/null </dev/null | tr -d '\r'; }
wait_for() { wine "$probe_exe" wait "${2:-$caption}" "$1" 20000 </dev/null >/dev/null 2>&1; }

under_pointer() {  # under_pointer DIALOG-IDS CONTROL-ID [CAPTION]: the control's centre is under the pointer
  local offset dx dy
  offset=$(probe offset "${3:-$caption}" "$2")
  read -r dx dy <<<"$offset"
  [ -n "${dx:-}" ] && [ "${dx#-}" -le 1 ] && [ "${dy#-}" -le 1 ] || { echo "  offset: '$offset'"; return 1; }
}

screenshot() {  # screenshot NAME DIALOG-IDS [CAPTION]
  local x y w h
  read -r x y w h <<<"$(probe rect "${3:-$caption}" "$2")"
  [ -n "${h:-}" ] || return 1
  import -window root -crop "${w}x${h}+${x}+${y}" +repage "$shots/$1.png"
}

pointer_pid=
point_at() {  # the pointer snaps back when xdotool ends, so it stays alive
  stop_pointer
  xdotool mousemove "$1" "$2" sleep 300 &
  pointer_pid=$!
  until_true 30 pointer_is "$1" "$2" || echo "  the pointer did not reach $1 $2"
  # Wine learns of a move only over its own windows: tell it, as a mouse
  # tells Windows.
  wine "$probe_exe" pointer "$1" "$2" 5000 </dev/null >/dev/null 2>&1 || echo "  Wine does not see the pointer at $1 $2"
}
pointer_is() { test "$(xdotool getmouselocation | grep -o 'x:[0-9]* y:[0-9]*')" = "x:$1 y:$2"; }
stop_pointer() { [ -z "$pointer_pid" ] || kill "$pointer_pid" 2>/dev/null; pointer_pid=; }
read_only_mount=
release_mount() { [ -z "$read_only_mount" ] || umount "$read_only_mount" 2>/dev/null; read_only_mount=; }
trap 'stop_pointer; release_mount' EXIT

user=$(basename "$(ls -d "$WINEPREFIX"/drive_c/users/*/ | grep -v /Public/ | head -1)")
home=$WINEPREFIX/drive_c/users/$user
targets=("$home/AppData/Local/Velmora" "$home/AppData/Local/VL-LW-Temp" "$home/AppData/Velmora" "$home/Velmora"
         "$home/AppData/Roaming/Velmora" "$home/AppData/Roaming/Install.VL" "$home/Documents/Lumetra"
         "$home/Documents/Quillo")
windows_targets=('C:\users\'"$user"'\AppData\Local\Velmora' 'C:\users\'"$user"'\AppData\Local\VL-LW-Temp'
                 'C:\users\'"$user"'\AppData\Velmora' 'C:\users\'"$user"'\Velmora'
                 'C:\users\'"$user"'\AppData\Roaming\Velmora' 'C:\users\'"$user"'\AppData\Roaming\Install.VL'
                 'C:\users\'"$user"'\Documents\Lumetra' 'C:\users\'"$user"'\Documents\Quillo')
decoy=$home/AppData/Local/VelmoraX/keep.txt

seed_folders() {
  local t
  for t in "${targets[@]}"; do
    mkdir -p "$t/cache/deeper"
    echo data > "$t/cache/deeper/blob.bin"
    echo prefs > "$t/prefs.xml"
  done
  mkdir -p "$(dirname "$decoy")"
  echo keep > "$decoy"
}
clear_folders() { rm -rf "${targets[@]}"; }
count_target_files() { find "${targets[@]}" -type f 2>/dev/null | wc -l; }

install_dir=$WINEPREFIX/drive_c/InteractiveTest
mkdir -p "$install_dir"
cp "$cleaner_exe" "$install_dir/VelmoraRegistryCleaner.exe"
settings=$install_dir/Settings.ini
write_settings() { printf '[Settings]\r\n%s' "$1" > "$settings"; }

cleaner_pid=
report=$shots/last-report.txt
start_cleaner() {
  wine 'C:\InteractiveTest\VelmoraRegistryCleaner.exe' </dev/null >/dev/null 2>"$report" &
  cleaner_pid=$!
}
cleaner_ended() { ! kill -0 "$cleaner_pid" 2>/dev/null; }
exit_code_is() {  # waits for the program (at most 2 minutes) and compares its exit code
  if ! until_true 120 cleaner_ended; then
    echo "  the program did not end"
    kill "$cleaner_pid"
    return 1
  fi
  wait "$cleaner_pid"
  local code=$?
  [ "$code" -eq "$1" ] || { echo "  exit code $code, expected $1"; return 1; }
}

echo "== Escape in the main dialog: nothing is removed, exit code 0"
clear_folders
seed_folders
rm -f "$settings"
# Low enough that the dialog fits above the pointer at 144 DPI too.
point_at 500 600
start_cleaner
check "main dialog opens" wait_for "$main_dialog"
check "Clean is under the pointer" under_pointer "$main_dialog" 1
check "screenshot of the main dialog" screenshot main-dialog "$main_dialog"
xdotool key Escape
check "Escape ends with exit code 0" exit_code_is 0
check "nothing removed after Escape" test "$(count_target_files)" -eq 16
check "no settings written after Escape" test ! -e "$settings"

echo "== A listing from a shortcut: a dialog with OK under the pointer, nothing removed"
point_at 500 500
# No standard error to write lines to, as from a shortcut (NUL counts as none).
wine 'C:\InteractiveTest\VelmoraRegistryCleaner.exe' /L </dev/null >/dev/null 2>/dev/null &
cleaner_pid=$!
check "the listing shows in a dialog" wait_for "$failure_dialog"
check "it says what a run would remove" \
  test "$(probe text "$caption" 1000 | head -c 72)" = "Nothing was removed. A cleaning run would remove 12 files and 18 folders"
check "OK is under the pointer" under_pointer "$failure_dialog" 1
check "screenshot of the listing" screenshot listing-dialog "$failure_dialog"
xdotool key Return
check "a full listing ends with exit code 0" exit_code_is 0
check "nothing removed by the listing" test "$(count_target_files)" -eq 16

echo "== Enter cleans; the success dialog opens with OK under the pointer"
write_settings $'KeepRegistry=1\r\nKeepSNFindOutMore=1\r\nKeepVaultry=1\r\nKeepQRX=0\r\n'
point_at 500 600
start_cleaner
check "main dialog opens" wait_for "$main_dialog"
check "Clean is under the pointer" under_pointer "$main_dialog" 1
# Watched from the main dialog's going until the result shows: a run that
# took less than the half second the window waits for never shows it.
watch_out=$(mktemp)
wine "$probe_exe" watch "$main_dialog" "$success_dialog" 120000 </dev/null >"$watch_out" 2>/dev/null &
watcher=$!
check "the watcher is ready" wait_line "$watch_out" ready
xdotool key Return
check "success dialog opens" wait_for "$success_dialog"
wait "$watcher"
run_ms=$(field "$watch_out" run_ms)
if [ "${run_ms:-999999}" -lt 500 ]; then
  check "a short run ($run_ms ms) shows no progress window" test "$(field "$watch_out" progress)" = 0
else
  echo "  the short run took ${run_ms:-?} ms here, no less than the window's delay: not judged"
fi
check "OK is under the pointer" under_pointer "$success_dialog" 1
check "success text" test "$(probe text "$caption" 1000)" = "Cleaned successfully."
check "screenshot of the success dialog" screenshot success-dialog "$success_dialog"
xdotool key Return
check "success ends with exit code 0" exit_code_is 0
check "all eight folders removed" test "$(count_target_files)" -eq 0
check "neighbour kept" test -e "$decoy"
check "Clean stored the four options" grep -q 'KeepQRX=0' "$settings"

echo "== A large tree: the progress window shows at some moment, and the result opens in front of another program"
# What the window shows and how it takes keys is tested in process, at the
# test's own pace; here only what holds at any speed.
clear_folders
seed_folders
mkdir -p "${targets[0]}/cache/many"
(cd "${targets[0]}/cache/many" && seq 1 30000 | xargs touch)
wine "$probe_exe" window 'Another program' </dev/null >/dev/null 2>&1 &
other_pid=$!
check "another program's window is open" wait_for 0 'Another program'
point_at 640 500
start_cleaner
check "main dialog opens" wait_for "$main_dialog"
watch_out=$(mktemp)
wine "$probe_exe" watch "$main_dialog" "$success_dialog" 600000 </dev/null >"$watch_out" 2>/dev/null &
watcher=$!
check "the watcher is ready" wait_line "$watch_out" ready
xdotool key Return
check "success dialog opens" until_true 600 has_line "$watch_out" run_ms
wait "$watcher"
run_ms=$(field "$watch_out" run_ms)
echo "  the large run took ${run_ms:-?} ms"
if [ "${run_ms:-0}" -ge 1500 ]; then
  check "the progress window showed during the run" test "$(field "$watch_out" progress)" = 1
else
  echo "  too short here to judge whether the progress window showed"
fi
check "the progress window is gone once the result shows" test -z "$(probe rect "$progress_caption")"
check "the result is in front of the other program" test "$(field "$watch_out" foreground)" = 1
xdotool key Return
check "exit code 0" exit_code_is 0
check "all removed" test "$(count_target_files)" -eq 0
kill "$other_pid" 2>/dev/null
wait "$other_pid" 2>/dev/null

start_large_run() {  # the main dialog open on a profile with 30,000 files more
  clear_folders
  seed_folders
  mkdir -p "${targets[0]}/cache/many"
  (cd "${targets[0]}/cache/many" && seq 1 30000 | xargs touch)
  point_at 640 500
  start_cleaner
  check "main dialog opens" wait_for "$main_dialog"
}

echo "== A quit during a large run: the run finishes, no result dialog shows, exit code 0"
start_large_run
never_out=$(mktemp)
rm -f "$install_dir/stop-watching"
wine "$probe_exe" never "$caption" "$success_dialog" 'C:\InteractiveTest\stop-watching' </dev/null >"$never_out" 2>/dev/null &
never_pid=$!
check "the watcher is ready" wait_line "$never_out" ready
xdotool key Return
check "progress window opens" wait_for 1023 "$progress_caption"
check "a quit message reaches the run" quiet wine "$probe_exe" quit "$progress_caption" 1023
check "exit code 0" exit_code_is 0
touch "$install_dir/stop-watching"
wait "$never_pid"
check "no result dialog showed" test $? -eq 0
check "all removed" test "$(count_target_files)" -eq 0
rm -f "$install_dir/stop-watching"

echo "== A large run started by Enter sent to the main dialog's window, as automation tools send it: the result shows"
# xdotool key --window, as AutoIt's ControlSend or pywinauto send a key to a
# window they did not activate. The key may stay down at the X server and
# repeat into whatever opens next.
start_large_run
xdotool key --window "$(xdotool search --name "^$caption\$" | head -1)" Return 2>/dev/null
result_shown() { quiet wine "$probe_exe" wait "$caption" "$success_dialog" 5000; }
check "the result dialog shows" until_true 600 result_shown
xdotool keyup Return
xdotool key Return
check "exit code 0" exit_code_is 0
check "all removed" test "$(count_target_files)" -eq 0

echo "== Locked files in seven folders: the failure dialog lists exactly those, and scrolls"
clear_folders
seed_folders
lock_paths=()
for i in 0 2 3 4 5 6 7; do lock_paths+=("${windows_targets[$i]}\\cache\\deeper\\blob.bin"); done
lock_out=$(mktemp)
rm -f "$install_dir/release-locks"
wine "$probe_exe" lock 'C:\InteractiveTest\release-locks' "${lock_paths[@]}" </dev/null >"$lock_out" 2>/dev/null &
lock_pid=$!
check "the lock helper holds its files" wait_line "$lock_out" locked
point_at 700 500
start_cleaner
check "main dialog opens" wait_for "$main_dialog"
xdotool key Return
check "failure dialog opens" wait_for "$failure_dialog"
expected=$'Finished unsuccessfully. Cleaning not complete.\n\nSome folders, files cannot be deleted from:\n\n'
# Under each folder, the entry that stayed and why; Wine names no holder.
for i in 0 2 3 4 5 6 7; do
  expected+=$'\t'"${windows_targets[$i]}"$'\n\t\tcache\\deeper\\blob.bin: Sharing violation.\n'
done
shown=$(probe text "$caption" 1000; echo x)
shown=${shown%x}
check "failure text names exactly the folders that stayed, each with its entry" test "$shown" = "$expected"
[ "$shown" = "$expected" ] || printf '  shown:\n%s\n  expected:\n%s\n' "$shown" "$expected"
check "OK is under the pointer" under_pointer "$failure_dialog" 1
check "screenshot of the failure dialog" screenshot failure-dialog "$failure_dialog"
xdotool key Return
check "failure ends with exit code 1" exit_code_is 1
check "the unlocked folder went" test ! -e "${targets[1]}"
check "the locked folders stayed" test -e "${targets[0]}" -a -e "${targets[7]}"
touch "$install_dir/release-locks"
wait "$lock_pid" 2>/dev/null
rm -f "$install_dir/release-locks"

echo "== Registry: unticked 'Keep entries in the registry', the other boxes as stored"
# "wine reg" is the 32-bit reg.exe here: /reg:64 reaches the 64-bit view.
reg_add() { wine reg add "$1" /reg:64 /f </dev/null >/dev/null 2>&1; }
for key in EventLogger\\General EventLogger\\Other UsageLogger\\Beta_VY1 FindOutMore\\Pages Plandrel\\17.0; do
  reg_add "HKCU\\Software\\Velmora\\$key"
done
for key in Vaultry\\Server Plandrel\\17.0\\Qrx Lumetra\\3.0; do reg_add "HKLM\\Software\\Velmora\\$key"; done
reg_add 'HKLM\Software\Wow6432Node\Velmora\Plandrel'
reg_add 'HKCU\Software\VelmoraX\Keep'
keys_below() { wine reg query "$1" /s /reg:64 </dev/null 2>/dev/null | tr -d '\r' | grep '^HKEY' | sort | tr '\n' ' '; }
write_settings $'KeepRegistry=0\r\nKeepSNFindOutMore=1\r\nKeepVaultry=0\r\nKeepQRX=1\r\n'
point_at 400 300
start_cleaner
check "main dialog opens" wait_for "$main_dialog"
xdotool key Return
check "success dialog opens" wait_for "$success_dialog"
xdotool key Return
check "exit code 0" exit_code_is 0
user_keys=$(keys_below 'HKCU\Software\Velmora')
machine_keys=$(keys_below 'HKLM\Software\Velmora')
check "per-user tree thinned" test "$user_keys" = 'HKEY_CURRENT_USER\Software\Velmora\EventLogger HKEY_CURRENT_USER\Software\Velmora\EventLogger\General HKEY_CURRENT_USER\Software\Velmora\FindOutMore HKEY_CURRENT_USER\Software\Velmora\FindOutMore\Pages HKEY_CURRENT_USER\Software\Velmora\UsageLogger HKEY_CURRENT_USER\Software\Velmora\UsageLogger\Beta_VY1 '
check "machine tree keeps only QRX data" test "$machine_keys" = 'HKEY_LOCAL_MACHINE\Software\Velmora\Plandrel HKEY_LOCAL_MACHINE\Software\Velmora\Plandrel\17.0 HKEY_LOCAL_MACHINE\Software\Velmora\Plandrel\17.0\Qrx '
echo "  per-user: $user_keys"
echo "  machine:  $machine_keys"
check "32-bit view untouched" quiet wine reg query 'HKLM\Software\Wow6432Node\Velmora\Plandrel' /reg:64
check "neighbour key untouched" quiet wine reg query 'HKCU\Software\VelmoraX\Keep' /reg:64
wine reg delete 'HKCU\Software\Velmora' /f </dev/null >/dev/null 2>&1
wine reg delete 'HKLM\Software\Velmora' /reg:64 /f </dev/null >/dev/null 2>&1
wine reg delete 'HKLM\Software\Wow6432Node\Velmora' /reg:64 /f </dev/null >/dev/null 2>&1
wine reg delete 'HKCU\Software\VelmoraX' /f </dev/null >/dev/null 2>&1
clear_folders

echo "== A registry tree that stays: the failure dialog names it, exit code 1"
# A key whose name holds a zero: no Win32 call can delete it, so neither
# its parent nor the maker's trees can go.
zero_key() { wine "$probe_exe" zerokey "$1" "$2" 'Software\Velmora\Race' </dev/null >/dev/null 2>&1; }
zero_key add HKCU
zero_key add HKLM
reg_add 'HKLM\Software\Velmora\Lumetra\3.0'
write_settings $'KeepRegistry=0\r\nKeepSNFindOutMore=0\r\nKeepVaultry=0\r\nKeepQRX=0\r\n'
point_at 700 500
start_cleaner
check "main dialog opens" wait_for "$main_dialog"
xdotool key Return
check "failure dialog opens" wait_for "$failure_dialog"
shown=$(probe text "$caption" 1000; echo x)
shown=${shown%x}
expected=$'Finished unsuccessfully. Cleaning not complete.\n\nSome folders, files cannot be deleted from:\n\n'
expected+=$'\tHKEY_CURRENT_USER\\Software\\Velmora\n\t\tRace: Access denied.\n\tHKEY_LOCAL_MACHINE\\Software\\Velmora\n\t\tRace: Access denied'
check "failure text names both trees and the key that would not go" test "${shown:0:${#expected}}" = "$expected"
[ "${shown:0:${#expected}}" = "$expected" ] || printf '  shown:\n%s\n' "$shown"
check "screenshot of the failure dialog with the registry" screenshot failure-registry "$failure_dialog"
xdotool key Return
check "exit code 1" exit_code_is 1
key_gone() { ! quiet wine reg query "$1" /reg:64; }
check "the rest of the machine tree went" key_gone 'HKLM\Software\Velmora\Lumetra'
zero_key remove HKCU
zero_key remove HKLM
wine reg delete 'HKCU\Software\Velmora' /f </dev/null >/dev/null 2>&1
wine reg delete 'HKLM\Software\Velmora' /reg:64 /f </dev/null >/dev/null 2>&1

echo "== A read-only program folder: the run obeys the boxes as ticked, the file stays as it was"
reg_add 'HKCU\Software\Velmora\Plandrel\17.0'
write_settings $'KeepRegistry=0\r\nKeepSNFindOutMore=0\r\nKeepVaultry=0\r\nKeepQRX=1\r\n'
stored=$(md5sum < "$settings")
# A read-only bind mount keeps even root from writing there.
mount --bind "$install_dir" "$install_dir" && read_only_mount=$install_dir && mount -o remount,ro,bind "$install_dir"
cannot_write_in() { ! touch "$1/probe" 2>/dev/null; }
check "the program folder is read-only" cannot_write_in "$install_dir"
point_at 400 300
start_cleaner
check "main dialog opens" wait_for "$main_dialog"
check "'Keep entries in the registry' starts unticked" test "$(probe check "$caption" 1002)" = 0
read -r box_x box_y <<<"$(probe centre "$caption" 1002)"
stop_pointer
xdotool mousemove "$box_x" "$box_y" click 1
box_is() { test "$(probe check "$caption" 1002)" = "$1"; }
check "'Keep entries in the registry' ticked" until_true 30 box_is 1
xdotool key Return
check "success dialog opens" wait_for "$success_dialog"
xdotool key Return
check "exit code 0" exit_code_is 0
check "the per-user tree stayed, as ticked" quiet wine reg query 'HKCU\Software\Velmora\Plandrel\17.0' /reg:64
check "the settings file is unchanged" test "$(md5sum < "$settings")" = "$stored"
release_mount
wine reg delete 'HKCU\Software\Velmora' /f </dev/null >/dev/null 2>&1

echo "== The product's executable dropped on the warning text: a re-registration run"
product_dir=$install_dir/Product
mkdir -p "$product_dir"
cp "$standin_exe" "$product_dir/Plandrel.exe"
printf '<version><prefspostfix>12.0.0 INT R1</prefspostfix></version>' > "$product_dir/ProductVersion.xml"
seed_folders
# Values the dialog would write differently: a drop must store none of them.
write_settings $'KeepRegistry=yes\r\nKeepSNFindOutMore=1\r\nKeepVaultry=\r\nKeepQRX=0\r\n'
# A registration that goes on, as a real build's does, until the test has
# looked at the progress window.
rm -f "$product_dir/go.txt"
touch "$product_dir/hold.txt"
point_at 640 400
start_cleaner
check "main dialog opens" wait_for "$main_dialog"
read -r drop_x drop_y <<<"$(probe centre "$caption" 1003)"
check "drop accepted by the warning text" /usr/bin/python3 "$here/xdnd_drop.py" "$drop_x" "$drop_y" \
  "$product_dir/Plandrel.exe" "$product_dir/ProductVersion.xml"
# Run elevated (as Wine's user is, with a full token), the cleaner asks the
# person first: any program of the session could have made the drop.
if quiet wine "$probe_exe" elevated; then
  question=VelmoraRegistryCleaner
  check "the elevated cleaner asks before it acts on the drop" wait_for 65535 "$question"
  check "the question names the dropped file" \
    grep -qF 'C:\InteractiveTest\Product\Plandrel.exe' <(probe text "$question" 65535)
  check "screenshot of the question" screenshot elevated-drop 65535 "$question"
  xdotool key y
fi
waiting_text() { probe text "$progress_caption" 1020; }
waits_for_product() { test "$(waiting_text)" = 'Waiting for Plandrel.exe to register itself.'; }
check "the progress window shows the wait" wait_for 1020 "$progress_caption"
check "it names the product while it waits" until_true 60 waits_for_product
check "screenshot of the progress window during the wait" screenshot progress-waiting 1020 "$progress_caption"
touch "$product_dir/go.txt"
check "developer dialog opens" wait_for 1010 'Set Velmora Registry'
check "the progress window is gone" test -z "$(probe rect "$progress_caption")"
check "the product was started once with /REGSERVER" \
  grep -qxF '"C:\InteractiveTest\Product\Plandrel.exe" /REGSERVER' "$product_dir/started.txt"
check "started exactly once" test "$(wc -l < "$product_dir/started.txt")" -eq 1
echo "  started as: $(cat "$product_dir/started.txt")"
check "both runs removed the folders" test "$(count_target_files)" -eq 0
check "the keep options were not written" \
  test "$(tr -d '\r' < "$settings" | grep '^Keep' | tr '\n' ' ')" = 'KeepRegistry=yes KeepSNFindOutMore=1 KeepVaultry= KeepQRX=0 '
check "screenshot of the developer dialog" screenshot developer-dialog 1010 'Set Velmora Registry'
xdotool key Return
status_text() { probe text 'Set Velmora Registry' 1010; }
set_done() { test "$(status_text)" = 'PL Registry successfully set.'; }
check "Set reports success" until_true 60 set_done
check "Set wrote the developer values" \
  quiet wine reg query 'HKCU\Software\Velmora\Plandrel\Plandrel 12.0.0 INT R1' /v 'Special Menu'
check "screenshot after Set" screenshot developer-dialog-set 1010 'Set Velmora Registry'
xdotool key Escape
check "Exit ends with exit code 0" exit_code_is 0
wine reg delete 'HKCU\Software\Velmora' /f </dev/null >/dev/null 2>&1
clear_folders
rm -rf "$install_dir" "$(dirname "$decoy")"

echo "$passed passed, $failed failed"
[ "$failed" -eq 0 ]
