#!/usr/bin/env bash
# End-to-end check of the search core against real agents: findprinters in
# the lab's host namespace must list exactly the matching devices, under
# their DNS, NetBIOS or address names, and put exactly the specified
# requests on the wire.
#   findprinters-lab-test.sh FINDPRINTERS STATE_DIR
set -uo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lab.sh"
findprinters=$(realpath "$1")
state=$(realpath -m "$2")

lab_require
rm -rf "$state"
trap lab_down EXIT
trap 'exit 143' TERM INT
lab_up "$state"

lab_capture_start "$state/findprinters.pcap"
lab_run host "$findprinters" --local "$LAB_HOST_ADDRESS" >"$state/found.txt" 2>"$state/findprinters.err"
status=$?
lab_capture_stop

failed=0
[ "$status" -eq 0 ] || { lab_log "findprinters ended with $status"; cat "$state/findprinters.err" >&2; failed=1; }
want=$(printf 'prn-lab\t10.77.1.21\tprn-lab\t\t%s FW 1.04\nPRN-NB\t10.77.1.24\t\tPRN-NB\t%s\n10.77.1.25\t10.77.1.25\t\t\t%s rev B\n' \
  "$LAB_MODEL" "$LAB_MODEL" "$LAB_MODEL" | sort)
got=$(sort "$state/found.txt")
if [ "$got" != "$want" ]; then
  lab_log "findprinters listed:"; cat "$state/found.txt" >&2
  lab_log "expected (any order):"; echo "$want" >&2
  failed=1
else
  lab_log "findprinters listed exactly the three matching devices"
fi
lab_check_requests "$state/findprinters.pcap" 1 || failed=1
exit "$failed"
