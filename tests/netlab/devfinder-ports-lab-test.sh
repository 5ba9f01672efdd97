#!/usr/bin/env bash
# devfinder creating and deleting real ports and queues, in the network lab,
# under Wine: the lab's prefix for this test gets the test Standard TCP/IP
# Port monitor and a stand-in of the family's driver; a listener in the
# namespace of 10.77.1.25 takes the raw jobs sent to port 9100 there.
#   devfinder-ports-lab-test.sh BUILD_DIR STATE_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lab.sh"
source "$here/lab-wine.sh"
build=$(realpath "$1")
state=$(realpath -m "$2")
# A prefix of its own: the other lab test checks the prefix without the monitor.
prefix="$build/netlab-ports-wineprefix"

lab_require Xvfb
lab_wine_require
for program in devfinder.exe selector_ports_lab_tests.exe tcpmonitor_setup.exe vivtcpmon.dll; do
  [ -f "$build/bin/$program" ] || { echo "$program missing in $build/bin" >&2; exit 1; }
done

lab_wine_check_free "$prefix"
rm -rf "$state"
# Every run starts from a prefix without ports, queues or the monitor.
rm -rf "$prefix"
finish() {
  lab_wine_down
  lab_down
}
trap finish EXIT
trap 'exit 143' TERM INT
lab_up "$state"

cc -O2 -o "$state/tcp_sink" "$here/tcp_sink.c" || exit 1
lab_spawn p5 "$state/tcp_sink" 9100 "$state/p5-received.bin"

lab_wine_up "$prefix"
log=$(lab_wine_path "$state/monitor-requests.log")
(cd "$build/bin" && lab_run host "$LAB_WINE" tcpmonitor_setup.exe install "$log") || {
  lab_log "the test port monitor could not be installed"; exit 1; }

mkdir -p "$build/bin/screenshots"
(
  cd "$build/bin" &&
  lab_run host env VIVARO_NETLAB=1 VIVARO_TCPMON_LOG="$log" \
    VIVARO_NETLAB_SINK="$(lab_wine_path "$state/p5-received.bin")" \
    VIVARO_NETLAB_SCREENSHOT='screenshots\devfinder-ports-lab.png' \
    "$LAB_WINE" selector_ports_lab_tests.exe
)
status=$?
lab_log "monitor requests: $state/monitor-requests.log"
[ -f "$build/bin/screenshots/devfinder-ports-lab.png" ] && lab_log "screenshot: $build/bin/screenshots/devfinder-ports-lab.png"
exit "$status"
