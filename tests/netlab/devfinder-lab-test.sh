#!/usr/bin/env bash
# The selector window in the network lab, under Wine: devfinder.exe and the
# window test run in the lab's host namespace, with a Wine prefix and an
# Xvfb display of this test's own.
#   devfinder-lab-test.sh BUILD_DIR STATE_DIR
#
# Wine creates every socket in its server process, so the namespace the
# wineserver runs in decides where packets go. The server of the lab's
# prefix is started inside the host namespace here, and the test refuses to
# run when a server of that prefix already runs anywhere else.
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lab.sh"
build=$(realpath "$1")
state=$(realpath -m "$2")
wine=/usr/lib/wine/wine64
wineserver=/usr/lib/wine/wineserver
prefix="$build/netlab-wineprefix"

lab_require Xvfb
[ -x "$wine" ] && [ -x "$wineserver" ] || lab_skip "wine64 is not installed"
[ -f "$build/bin/devfinder.exe" ] && [ -f "$build/bin/selector_lab_tests.exe" ] || {
  echo "devfinder.exe or selector_lab_tests.exe missing in $build/bin" >&2; exit 1; }

# The wineserver of a prefix works in /tmp/.../server-<device>-<inode> of
# the prefix folder; that names it among all running servers.
prefix_servers() {
  [ -d "$prefix" ] || return 0
  local id pid
  id=$(printf 'server-%x-%x' $(stat -c '%d %i' "$prefix"))
  for pid in $(ps -eo pid=,comm= | awk '$2 ~ /^wineserver/ {print $1}'); do
    case "$(readlink "/proc/$pid/cwd" 2>/dev/null)" in
      */"$id") echo "$pid" ;;
    esac
  done
}

existing=$(prefix_servers)
if [ -n "$existing" ]; then
  echo "refusing to run: a wineserver of $prefix already runs (pid $existing), outside the lab" >&2
  exit 1
fi

rm -rf "$state"
mkdir -p "$prefix"
display_pid=""
finish() {
  if [ -n "$(prefix_servers)" ]; then
    lab_run host env WINEPREFIX="$prefix" "$wineserver" -k 2>/dev/null
    sleep 0.5
  fi
  [ -n "$display_pid" ] && kill "$display_pid" 2>/dev/null && wait "$display_pid" 2>/dev/null
  lab_down
}
trap finish EXIT
trap 'exit 143' TERM INT
lab_up "$state"

for n in $(seq 171 220); do
  [ ! -e "/tmp/.X$n-lock" ] && [ ! -e "/tmp/.X11-unix/X$n" ] && break
done
Xvfb ":$n" -screen 0 1280x1024x24 -nolisten tcp >"$state/xvfb.log" 2>&1 &
display_pid=$!
for _ in $(seq 1 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

export WINEPREFIX="$prefix" WINEARCH=win64 WINEDEBUG="${VIVARO_NETLAB_WINEDEBUG:--all}" WINEDLLOVERRIDES="mscoree,mshtml=" DISPLAY=":$n"
lab_spawn host "$wineserver" -f -p
for _ in $(seq 1 50); do [ -n "$(prefix_servers)" ] && break; sleep 0.1; done
server=$(prefix_servers)
if [ -z "$server" ] || [ "$(ip netns identify "$server")" != "$(lab_ns host)" ]; then
  echo "refusing to run: the lab's wineserver is not inside $(lab_ns host)" >&2
  exit 1
fi
lab_log "wineserver $server runs in $(lab_ns host)"
if [ ! -f "$prefix/system.reg" ]; then
  lab_log "initialising the lab's Wine prefix (once)"
  lab_run host "$wine" wineboot --init >"$state/wineboot.log" 2>&1
  # No window manager on the lab's display: Wine draws the frames itself.
  for value in Decorated Managed; do
    lab_run host "$wine" reg add 'HKCU\Software\Wine\X11 Driver' /v "$value" /d N /f >/dev/null 2>&1
  done
fi

lab_capture_start "$state/devfinder.pcap"
mkdir -p "$build/bin/screenshots"
(
  cd "$build/bin" &&
  lab_run host env VIVARO_NETLAB=1 \
    VIVARO_NETLAB_EXPECT="prn-lab=10.77.1.21;PRN-NB=10.77.1.24;10.77.1.25=10.77.1.25" \
    VIVARO_NETLAB_SCREENSHOT='screenshots\devfinder-lab.png' \
    "$wine" selector_lab_tests.exe
)
status=$?
lab_capture_stop

# Three windows each searched once at start, and one Refresh: four searches.
lab_check_requests "$state/devfinder.pcap" 4 || status=1

# The console tool's Windows build finds the same devices through Winsock
# and the Windows DNS client (the host name's address: no --local).
(cd "$build/bin" && lab_run host "$wine" findprinters.exe) 2>"$state/findprinters.err" | tr -d '\r' | sort >"$state/found.txt"
want=$(printf 'prn-lab\t10.77.1.21\tprn-lab\t\t%s FW 1.04\nPRN-NB\t10.77.1.24\t\tPRN-NB\t%s\n10.77.1.25\t10.77.1.25\t\t\t%s rev B\n' \
  "$LAB_MODEL" "$LAB_MODEL" "$LAB_MODEL" | sort)
if [ "$(cat "$state/found.txt")" = "$want" ]; then
  lab_log "findprinters.exe listed exactly the three matching devices"
else
  lab_log "findprinters.exe listed:"; cat "$state/found.txt" "$state/findprinters.err" >&2
  status=1
fi

# The live-window test of the programs checks the selector's controls only
# where it may search, which is here.
if [ -f "$build/bin/program_windows_tests.exe" ]; then
  (cd "$build/bin" && lab_run host env VIVARO_NETLAB=1 "$wine" program_windows_tests.exe --gtest_filter='SelectorWindow.*') ||
    status=1
fi

# With every port from 1025 to 1034 taken in the host namespace (by an
# agent listening on all of them), devfinder must say so and end.
mkdir -p "$state/blocker"
ports=$(seq -s, -f 'udp:%g' 1025 1034)
printf 'agentAddress %s\nrocommunity unused\n' "$ports" >"$state/blocker/snmpd.conf"
ports_taken() {
  [ "$(lab_run host ss -Hlun | awk '{print $4}' | grep -cE ':(102[5-9]|103[0-4])$')" -eq 10 ]
}
# A port may still be held for a moment by the programs that just ended.
for _ in 1 2 3 4 5; do
  lab_spawn host env SNMP_PERSISTENT_DIR="$state/blocker" MIBS= MIBDIRS="$state/blocker" \
    snmpd -f -C -c "$state/blocker/snmpd.conf" -Lf "$state/blocker/snmpd.log"
  sleep 1
  ports_taken && break
done
ports_taken || { lab_log "could not take ports 1025 to 1034"; status=1; }
(
  cd "$build/bin" &&
  lab_run host env VIVARO_NETLAB_PORTS_TAKEN=1 "$wine" selector_lab_tests.exe --gtest_filter='SelectorWithoutPorts.*'
) || status=1
[ -f "$build/bin/screenshots/devfinder-lab.png" ] && lab_log "screenshot: $build/bin/screenshots/devfinder-lab.png"
exit "$status"
