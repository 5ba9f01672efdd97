#!/usr/bin/env bash
# The selector window in the network lab, under Wine: devfinder.exe and the
# window test run in the lab's host namespace, with a Wine prefix and an
# Xvfb display of this test's own (lab-wine.sh).
#   devfinder-lab-test.sh BUILD_DIR STATE_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lab.sh"
source "$here/lab-wine.sh"
build=$(realpath "$1")
state=$(realpath -m "$2")
prefix="$build/netlab-wineprefix"
wine=$LAB_WINE

lab_require Xvfb
lab_wine_require
[ -f "$build/bin/devfinder.exe" ] && [ -f "$build/bin/selector_lab_tests.exe" ] || {
  echo "devfinder.exe or selector_lab_tests.exe missing in $build/bin" >&2; exit 1; }

lab_wine_check_free "$prefix"
rm -rf "$state"
finish() {
  lab_wine_down
  lab_down
}
trap finish EXIT
trap 'exit 143' TERM INT
lab_up "$state"
lab_wine_up "$prefix"

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

# A flood of forged replies from a printer's namespace while the selector
# searches: the window must keep answering and list each device once.
cc -O2 -o "$state/reply_flood" "$here/reply_flood.c" || exit 1
lab_spawn p2 "$state/reply_flood" "$LAB_HOST_ADDRESS" 1025 1034 1000 10.77.1.21 10.77.1.24 10.77.1.25
flood=$!
(
  cd "$build/bin" &&
  lab_run host env VIVARO_NETLAB_FLOOD=1 \
    VIVARO_NETLAB_EXPECT="prn-lab=10.77.1.21;PRN-NB=10.77.1.24;10.77.1.25=10.77.1.25" \
    "$wine" selector_lab_tests.exe --gtest_filter='SelectorUnderAFlood.*'
) || status=1
kill "$flood" 2>/dev/null

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
