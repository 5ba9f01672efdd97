#!/usr/bin/env bash
# Starts or stops what the Wine tests of a build folder need: an Xvfb
# display of their own and an initialised Wine prefix inside the build.
#   session.sh start BUILD_DIR
#   session.sh stop BUILD_DIR
set -euo pipefail
action=$1
build=$(cd "$2" && pwd)
state="$build/wine-session"
here=$(cd "$(dirname "$0")" && pwd)
export WINEPREFIX="$build/wineprefix" WINEARCH=win64 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="

free_display() {
  local n
  for n in $(seq 91 140); do
    if [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ]; then
      echo "$n"; return 0
    fi
  done
  return 1
}

start() {
  mkdir -p "$state"
  stop_quietly
  local n; n=$(free_display) || { echo "no free X display number" >&2; exit 1; }
  Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
  echo $! >"$state/xvfb.pid"
  for _ in $(seq 1 50); do
    [ -e "/tmp/.X11-unix/X$n" ] && break
    sleep 0.1
  done
  [ -e "/tmp/.X11-unix/X$n" ] || { echo "Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; exit 1; }
  echo ":$n" >"$state/display"
  export DISPLAY=":$n"
  # A new prefix takes a while to create; later sessions reuse it.
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    /usr/lib/wine/wine64 wineboot --init >"$state/wineboot.log" 2>&1 || true
    # Xvfb has no window manager: let Wine draw captions and frames itself,
    # so screenshots show windows as a user would see them.
    local key='HKCU\Software\Wine\X11 Driver'
    /usr/lib/wine/wine64 reg add "$key" /v Decorated /d N /f >/dev/null 2>&1 || true
    /usr/lib/wine/wine64 reg add "$key" /v Managed /d N /f >/dev/null 2>&1 || true
  fi
  # ctest reads each test's output through a pipe until every holder has
  # closed it. The server, services and desktop that Wine starts along with
  # the first program of a session inherit that program's output and keep it
  # open until the session ends, so ctest would wait for them; the session
  # starts them itself, with their output in its own log, and keeps them.
  wineserver -w 2>/dev/null || true
  wineserver -p >"$state/wineserver.log" 2>&1 </dev/null
  /usr/lib/wine/wine64 cmd /c exit >"$state/services.log" 2>&1 </dev/null || true
  echo "wine session on :$n, prefix $WINEPREFIX"
}

stop_quietly() {
  wineserver -k 2>/dev/null || true
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid" "$state/display"
  fi
}

case "$action" in
  start) start ;;
  stop) stop_quietly; echo "wine session stopped" ;;
  *) echo "usage: $0 start|stop BUILD_DIR" >&2; exit 2 ;;
esac
