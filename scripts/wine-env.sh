# Sourced by the scripts: Wine prefixes and an X display for the tests, the
# demo and the benchmarks.

export WINEDEBUG=${WINEDEBUG:--all}
# Keep Wine from offering to install its .NET and HTML runtimes: under a
# display that offer is a dialog that waits for ever.
export WINEDLLOVERRIDES="mscoree,mshtml="

# make_prefix DIR [win64|win32]: a fresh prefix whose profile folders are
# real folders. Wine links Documents, Desktop and the like to the Unix home
# folder; a cleaner run there would reach outside the prefix.
make_prefix() {
  local dir=$1 arch=${2:-win64}
  rm -rf "$dir"
  mkdir -p "$(dirname "$dir")"
  WINEPREFIX=$dir WINEARCH=$arch wineboot -i >/dev/null 2>&1
  WINEPREFIX=$dir wineserver -w
  local user
  for user in "$dir"/drive_c/users/*; do
    [ -d "$user" ] || continue
    local entry
    for entry in "$user"/*; do
      if [ -L "$entry" ]; then
        rm -f "$entry"
        mkdir -p "$entry"
      fi
    done
  done
  # Wine's own replacements of the classic Windows fonts (MS Sans Serif,
  # Tahoma), so that dialogs are laid out with the metrics they were drawn
  # for rather than with a wider fallback font that clips their texts.
  if [ -d /usr/share/wine/fonts ]; then
    cp -n /usr/share/wine/fonts/* "$dir/drive_c/windows/Fonts/" 2>/dev/null || true
  fi
  # Wine draws window frames and captions itself (no window manager here).
  WINEPREFIX=$dir wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d N /f >/dev/null 2>&1
  WINEPREFIX=$dir wineserver -w
}

# ensure_display: an Xvfb display when none is set. Sets XVFB_PID when it
# started one.
ensure_display() {
  XVFB_PID=
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return
  fi
  local n
  for n in 99 98 97 96 95; do
    if [ ! -e /tmp/.X11-unix/X$n ] && [ ! -e /tmp/.X$n-lock ]; then
      Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
      XVFB_PID=$!
      export DISPLAY=":$n"
      local i
      for i in $(seq 50); do
        xdpyinfo >/dev/null 2>&1 && return
        sleep 0.1
      done
      echo "Xvfb did not start on :$n" >&2
      return 1
    fi
  done
  echo "no free X display number" >&2
  return 1
}

# windows_path UNIXPATH: the path as Wine's Z: drive shows it.
windows_path() {
  printf 'Z:%s' "$(printf '%s' "$1" | tr '/' '\\')"
}
