# Wine inside the network lab, sourced after lab.sh by the lab's Wine tests:
# an Xvfb display and a Wine prefix of the test's own, whose wineserver
# runs in the lab's host namespace.
#
# Wine creates every socket in its server process, so the namespace the
# wineserver runs in decides where packets go. The server of the prefix is
# started inside the host namespace here, and lab_wine_up refuses to go on
# when a server of that prefix already runs anywhere else.

LAB_WINE=/usr/lib/wine/wine64
LAB_WINESERVER=/usr/lib/wine/wineserver

lab_wine_require() {
  [ -x "$LAB_WINE" ] && [ -x "$LAB_WINESERVER" ] || lab_skip "wine64 is not installed"
}

# The wineserver of a prefix works in /tmp/.../server-<device>-<inode> of
# the prefix folder; that names it among all running servers.
lab_wine_servers() {  # lab_wine_servers PREFIX
  [ -d "$1" ] || return 0
  local id pid
  id=$(printf 'server-%x-%x' $(stat -c '%d %i' "$1"))
  for pid in $(ps -eo pid=,comm= | awk '$2 ~ /^wineserver/ {print $1}'); do
    case "$(readlink "/proc/$pid/cwd" 2>/dev/null)" in
      */"$id") echo "$pid" ;;
    esac
  done
}

# Call before lab_up: refuses a prefix whose server already runs outside.
lab_wine_check_free() {  # lab_wine_check_free PREFIX
  local existing; existing=$(lab_wine_servers "$1")
  if [ -n "$existing" ]; then
    echo "refusing to run: a wineserver of $1 already runs (pid $existing), outside the lab" >&2
    exit 1
  fi
}

# After lab_up: display and server up, the prefix initialised once.
# Exports WINEPREFIX, DISPLAY and the rest for the lab's Wine programs.
lab_wine_up() {  # lab_wine_up PREFIX
  LAB_WINE_PREFIX=$1
  mkdir -p "$LAB_WINE_PREFIX"
  local n
  for n in $(seq 171 220); do
    [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] && break
  done
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$LAB_DIR/xvfb.log" 2>&1 &
  LAB_DISPLAY_PID=$!
  for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

  export WINEPREFIX="$LAB_WINE_PREFIX" WINEARCH=win64 WINEDEBUG="${VIVARO_NETLAB_WINEDEBUG:--all}" \
    WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=":$n"
  lab_spawn host "$LAB_WINESERVER" -f -p
  for _ in $(seq 1 50); do [ -n "$(lab_wine_servers "$LAB_WINE_PREFIX")" ] && break; sleep 0.1; done
  local server; server=$(lab_wine_servers "$LAB_WINE_PREFIX")
  if [ -z "$server" ] || [ "$(ip netns identify "$server")" != "$(lab_ns host)" ]; then
    echo "refusing to run: the lab's wineserver is not inside $(lab_ns host)" >&2
    exit 1
  fi
  lab_log "wineserver $server runs in $(lab_ns host)"
  if [ ! -f "$LAB_WINE_PREFIX/system.reg" ]; then
    lab_log "initialising the lab's Wine prefix (once)"
    lab_run host "$LAB_WINE" wineboot --init >"$LAB_DIR/wineboot.log" 2>&1
    # No window manager on the lab's display: Wine draws the frames itself.
    local value
    for value in Decorated Managed; do
      lab_run host "$LAB_WINE" reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /d N /f >/dev/null 2>&1
    done
  fi
}

# Before lab_down: the server and the display end.
lab_wine_down() {
  if [ -n "${LAB_WINE_PREFIX:-}" ] && [ -n "$(lab_wine_servers "$LAB_WINE_PREFIX")" ]; then
    lab_run host env WINEPREFIX="$LAB_WINE_PREFIX" "$LAB_WINESERVER" -k 2>/dev/null
    sleep 0.5
  fi
  if [ -n "${LAB_DISPLAY_PID:-}" ]; then
    kill "$LAB_DISPLAY_PID" 2>/dev/null && wait "$LAB_DISPLAY_PID" 2>/dev/null
  fi
}

# A Windows path for a file of the Linux side (Wine's drive Z: is /).
lab_wine_path() {  # lab_wine_path UNIX_PATH
  printf 'Z:%s' "${1//\//\\}"
}
