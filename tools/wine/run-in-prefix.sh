#!/usr/bin/env bash
# Runs a Windows program under wine64 in the Wine prefix of a build folder.
#   run-in-prefix.sh BUILD_DIR PROGRAM [ARGS...]
# The prefix lives in BUILD_DIR/wineprefix; the display is the Xvfb one
# started by session.sh (BUILD_DIR/wine-session/display), if any.
set -euo pipefail
build=$(cd "$1" && pwd); shift
export WINEPREFIX="$build/wineprefix"
export WINEARCH=win64
export WINEDEBUG="${WINEDEBUG:--all}"
# No Mono or Gecko installers popping up in a fresh prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
if [ -z "${VIVARO_KEEP_DISPLAY:-}" ] && [ -f "$build/wine-session/display" ]; then
  export DISPLAY=$(cat "$build/wine-session/display")
fi
exec /usr/lib/wine/wine64 "$@"
