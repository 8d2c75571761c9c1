# Sourced by tools/test and tools/run: one Xvfb display and one Wine prefix for a whole run.
#   wine_session_start DIR   creates DIR/prefix, starts Xvfb and a persistent wineserver, exports
#                            DISPLAY, WINEPREFIX, WINEARCH, WINEDEBUG, WINE and NIMBREL_SESSION_DIR
#   wine_session_stop        stops the wineserver of that prefix and the Xvfb started here
# Debian installs the 64-bit loader only under /usr/lib/wine.
WINE=/usr/lib/wine/wine64
export WINE

_wine_free_display() {
  local n
  for n in $(seq 90 160); do
    if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then
      echo "$n"
      return 0
    fi
  done
  return 1
}

wine_session_start() {
  local dir=$1 own_display=${2:-}
  mkdir -p "$dir"
  NIMBREL_SESSION_DIR=$(cd "$dir" && pwd)
  export NIMBREL_SESSION_DIR
  _wine_xvfb_pid=
  if [ -z "$own_display" ]; then
    # Sessions started side by side take turns at choosing a display: two that chose at once would
    # share one (the second Xvfb fails, and the first answers for both).
    local n i lock attempt
    exec {lock}>/tmp/nimbrel-xvfb.lock
    flock "$lock"
    # A loaded machine (a build and another session starting beside this one) has been seen to keep
    # an Xvfb from answering for more than 10 s: wait up to 30 s, then try once more on another display.
    for attempt in 1 2; do
      n=$(_wine_free_display) || { flock -u "$lock"; echo "no free X display" >&2; return 1; }
      Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >"$NIMBREL_SESSION_DIR/xvfb.log" 2>&1 &
      _wine_xvfb_pid=$!
      export DISPLAY=":$n"
      for i in $(seq 1 300); do
        xdpyinfo >/dev/null 2>&1 && break
        kill -0 "$_wine_xvfb_pid" 2>/dev/null || break
        sleep 0.1
      done
      if xdpyinfo >/dev/null 2>&1 && kill -0 "$_wine_xvfb_pid" 2>/dev/null; then
        break
      fi
      echo "Xvfb did not start on :$n (attempt $attempt): $(tail -c 300 "$NIMBREL_SESSION_DIR/xvfb.log")" >&2
      kill "$_wine_xvfb_pid" 2>/dev/null || true
      wait "$_wine_xvfb_pid" 2>/dev/null || true
      _wine_xvfb_pid=
    done
    flock -u "$lock"
    exec {lock}>&-
    [ -n "$_wine_xvfb_pid" ] || return 1
  fi
  export WINEPREFIX="$NIMBREL_SESSION_DIR/prefix" WINEARCH=win64 WINEDEBUG=-all
  # No Mono or Gecko: there is no network to fetch them and nothing here needs them.
  export WINEDLLOVERRIDES="mscoree=;mshtml="
  local fresh=
  [ -f "$WINEPREFIX/system.reg" ] || fresh=1
  mkdir -p "$WINEPREFIX"
  wineserver -p
  "$WINE" wineboot -i >"$NIMBREL_SESSION_DIR/wineboot.log" 2>&1
  if [ -n "$fresh" ]; then
    # A loaded machine has been seen to lose one of the settings' reg commands without a word (the
    # desktop's size, so that the session ran without a taskbar): write them until the saved registry
    # holds every one. Ending the wineserver saves the registry, and the desktop settings take effect
    # only for an explorer started after them.
    for attempt in 1 2 3; do
      _wine_prefix_setup
      _wine_server_restart
      _wine_prefix_complete && break
      echo "the prefix's settings were not all saved (attempt $attempt); writing them again" >&2
    done
    "$WINE" wineboot >>"$NIMBREL_SESSION_DIR/wineboot.log" 2>&1
  fi
  # Everything after this expects the desktop and its taskbar: wait for the desktop's window, and
  # restart the session once when it does not come.
  for attempt in 1 2; do
    local i
    for i in $(seq 1 150); do
      _wine_desktop_up && return 0
      sleep 0.2
    done
    echo "Wine's desktop did not come up (attempt $attempt)" >&2
    _wine_server_restart
    "$WINE" wineboot >>"$NIMBREL_SESSION_DIR/wineboot.log" 2>&1
  done
  _wine_desktop_up
}

# Ends the prefix's wineserver (which saves the registry) and starts a persistent one again.
_wine_server_restart() {
  wineserver -k
  wineserver -w
  wineserver -p
}

_wine_desktop_up() {
  xwininfo -root -tree 2>/dev/null | grep -q '"Default - Wine desktop"'
}

# Whether the saved registry holds every setting _wine_prefix_setup writes.
_wine_prefix_complete() {
  local user="$WINEPREFIX/user.reg" system="$WINEPREFIX/system.reg"
  grep -qx '"Desktop"="Default"' "$user" && grep -qx '"Default"="1024x768"' "$user" &&
    [ "$(grep -c '^"\(SimSun\|NSimSun\|Microsoft YaHei\|SimHei\)"="WenQuanYi Micro Hei"$' "$user")" -eq 4 ] &&
    [ "$(grep -c '^"\(Tahoma\|Tahoma Bold\|MS Shell Dlg\|MS Shell Dlg 2\)"=str(7):"wqy-microhei.ttc' "$system")" -eq 4 ]
}

_wine_prefix_setup() {
  # Wine's own desktop, so that every program shares it and the taskbar's notification area shows.
  "$WINE" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
  "$WINE" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
  # Debian's Wine does not find its own fonts otherwise (title-bar buttons then draw as letters).
  mkdir -p "$WINEPREFIX/drive_c/windows/Fonts"
  cp -n /usr/share/wine/fonts/*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  local f
  for f in SimSun NSimSun "Microsoft YaHei" SimHei; do
    "$WINE" reg add 'HKCU\Software\Wine\Fonts\Replacements' /v "$f" /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  done
  for f in Tahoma "Tahoma Bold" "MS Shell Dlg" "MS Shell Dlg 2"; do
    "$WINE" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
      /v "$f" /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
  done
}

wine_session_stop() {
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k 2>/dev/null || true
    wineserver -w 2>/dev/null || true
  fi
  if [ -n "${_wine_xvfb_pid:-}" ]; then
    kill "$_wine_xvfb_pid" 2>/dev/null || true
    wait "$_wine_xvfb_pid" 2>/dev/null || true
    _wine_xvfb_pid=
  fi
}
