# The discovery network lab: network namespaces joined by a bridge that
# itself lives in a namespace, so nothing of the lab touches the machine's
# own network. Sourced by the lab tests; every name and process it creates
# is recorded in $LAB_DIR and removed by lab_down.
#
#   host      10.77.1.10 (/24 and /16: both broadcasts leave its interface)
#   printers  10.77.1.21..25, each running net-snmp's snmpd (community tarnix)
#   DNS       dnsmasq on the host namespace's loopback, PTR for 10.77.1.21
#   NetBIOS   a host announcement of PRN-NB replayed from 10.77.1.24
#
# Exit status 77 (skipped) when the machine cannot build the lab.

LAB_SKIP=77
LAB_HOST_ADDRESS=10.77.1.10
LAB_MODEL="ARVEL NORVANE Vivaro 5310/20"

lab_log() { echo "netlab: $*" >&2; }

lab_skip() {
  echo "SKIPPED: $*" >&2
  exit "$LAB_SKIP"
}

# Skips the test unless this process can make namespaces and has the agents.
lab_require() {
  [ "$(id -u)" -eq 0 ] || lab_skip "the network lab needs root"
  local tool
  for tool in ip snmpd dnsmasq tcpdump tshark cc "$@"; do
    command -v "$tool" >/dev/null 2>&1 || lab_skip "$tool is not installed (scripts/setup.sh installs it)"
  done
  local probe="vlabprobe$$"
  ip netns add "$probe" 2>/dev/null || lab_skip "network namespaces are not available here"
  ip netns del "$probe"
}

lab_ns() { echo "vlab$$-$1"; }

lab_run() {  # lab_run NODE COMMAND...: run inside a lab namespace
  local node=$1; shift
  ip netns exec "$(lab_ns "$node")" "$@"
}

lab_track() {  # lab_track PID: a process lab_down must end
  echo "$1" >>"$LAB_DIR/pids"
}

# lab_spawn NODE COMMAND...: starts a background process inside a lab
# namespace and records it. ip execs the command, so the recorded process
# is the command itself.
lab_spawn() {
  local node=$1; shift
  ip netns exec "$(lab_ns "$node")" "$@" &
  lab_track $!
}

lab_add_node() {  # lab_add_node NODE ADDRESS...
  local node=$1; shift
  local ns; ns=$(lab_ns "$node")
  ip netns add "$ns" || { lab_log "cannot create $ns"; exit 1; }
  echo "$ns" >>"$LAB_DIR/namespaces"
  # Created inside the switch namespace and handed over: no interface of
  # the lab ever exists in the machine's own namespace.
  ip -n "$(lab_ns sw)" link add "p-$node" type veth peer name eth0 netns "$ns"
  ip -n "$(lab_ns sw)" link set "p-$node" master br0 up
  ip -n "$ns" link set lo up
  local address
  for address in "$@"; do
    ip -n "$ns" addr add "$address" dev eth0
  done
  ip -n "$ns" link set eth0 up
}

lab_start_agent() {  # lab_start_agent NODE SYSDESCR
  local node=$1 descr=$2
  local dir="$LAB_DIR/$node"
  mkdir -p "$dir/persist"
  cat >"$dir/snmpd.conf" <<CONF
agentAddress udp:161
rocommunity tarnix
sysDescr $descr
CONF
  lab_spawn "$node" env LD_PRELOAD="$LAB_DIR/broadcast_reply.so" SNMP_PERSISTENT_DIR="$dir/persist" MIBS= MIBDIRS="$dir" \
    snmpd -f -C -c "$dir/snmpd.conf" -Lf "$dir/snmpd.log" >/dev/null 2>&1
}

lab_encode_netbios_name() {  # first-level encoding of a 16-byte name: padded with spaces, suffix 00
  local name=$1 out="" i c code
  for ((i = 0; i < 16; i++)); do
    if ((i < ${#name})); then c=${name:i:1}; printf -v code '%d' "'$c"; elif ((i < 15)); then code=32; else code=0; fi
    out+=$(printf "\\x$(printf %x $((65 + (code >> 4))))\\x$(printf %x $((65 + (code & 15))))")
  done
  printf '%s' "$out"
}

# A NetBIOS direct-group datagram (a host announcement's header) from NODE
# naming it NAME, sent to the host's port 138 every 200 ms, as a browser
# repeats its announcements.
lab_start_announcer() {  # lab_start_announcer NODE NAME
  local node=$1 name=$2
  local file="$LAB_DIR/$node-announcement.bin"
  {
    printf '\x11\x02\x00\x01'
    printf '\x0a\x4d\x01\x18\x00\x8a\x00\xbc\x00\x00'
    printf '\x20'; lab_encode_netbios_name "$name"; printf '\x00'
    printf '\x20'; printf 'FHEPFCELEHFCEPFFFACACACACACACABN'; printf '\x00'
    printf '\xffSMB\x25'; head -c 120 /dev/zero
  } >"$file"
  lab_spawn "$node" bash -c "while :; do cat '$file' >/dev/udp/$LAB_HOST_ADDRESS/138 2>/dev/null; sleep 0.2; done"
}

# A lab whose test was killed (a time-out, say) could not clean up after
# itself: its namespaces carry the dead test's process id. Their processes
# are ended and the namespaces removed.
lab_remove_stale() {
  local ns owner pid
  for ns in $(ip netns list | awk '{print $1}' | grep -E '^vlab[0-9]+-'); do
    owner=${ns#vlab}; owner=${owner%%-*}
    kill -0 "$owner" 2>/dev/null && continue
    for pid in $(ip netns pids "$ns" 2>/dev/null); do kill -9 "$pid" 2>/dev/null; done
    ip netns del "$ns" 2>/dev/null
    rm -rf "/etc/netns/$ns"
    lab_log "removed $ns, left behind by an earlier run"
  done
}

lab_up() {  # lab_up STATE_DIR
  lab_remove_stale
  LAB_DIR=$1
  mkdir -p "$LAB_DIR"
  : >"$LAB_DIR/pids"
  : >"$LAB_DIR/namespaces"
  cc -shared -fPIC -O2 -o "$LAB_DIR/broadcast_reply.so" "$(dirname "${BASH_SOURCE[0]}")/snmpd_broadcast_reply.c" -ldl

  local sw; sw=$(lab_ns sw)
  ip netns add "$sw" || { lab_log "cannot create $sw"; exit 1; }
  echo "$sw" >>"$LAB_DIR/namespaces"
  ip -n "$sw" link add br0 type bridge
  ip -n "$sw" link set br0 up

  lab_add_node host "$LAB_HOST_ADDRESS/24" "$LAB_HOST_ADDRESS/16"
  local node
  for node in p1 p2 p3 p4 p5; do
    local last=$((20 + ${node#p}))
    lab_add_node "$node" "10.77.1.$last/24" "10.77.1.$last/16"
  done

  # Resolver of the host namespace: its own DNS server on loopback. EDNS
  # makes the answer end with an OPT record, which Wine's DNS client needs.
  mkdir -p "/etc/netns/$(lab_ns host)"
  echo "/etc/netns/$(lab_ns host)" >"$LAB_DIR/netns-etc"
  printf 'nameserver 127.0.0.1\noptions edns0\n' >"/etc/netns/$(lab_ns host)/resolv.conf"
  lab_spawn host dnsmasq --keep-in-foreground --conf-file=/dev/null --no-resolv --no-hosts --user=root \
    --listen-address=127.0.0.1 --bind-interfaces --port=53 --log-facility="$LAB_DIR/dnsmasq.log" \
    --ptr-record=21.1.77.10.in-addr.arpa,prn-lab.lab.example

  lab_start_agent p1 "$LAB_MODEL FW 1.04"
  lab_start_agent p2 "ARVEL NORVANE Vivaro 4100 Series"
  lab_start_agent p3 "$LAB_MODEL $(printf 'x%.0s' $(seq 1 110))"
  lab_start_agent p4 "$LAB_MODEL"
  lab_start_agent p5 "$LAB_MODEL rev B"
  lab_start_announcer p4 PRN-NB
  sleep 1.5
  lab_log "lab up: host $(lab_ns host), printers 10.77.1.21-25"
}

lab_down() {
  [ -n "${LAB_DIR:-}" ] || return 0
  local pid
  if [ -f "$LAB_DIR/pids" ]; then
    while read -r pid; do
      [ -n "$pid" ] && kill "$pid" 2>/dev/null
    done <"$LAB_DIR/pids"
    sleep 0.3
    while read -r pid; do
      [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null
      [ -n "$pid" ] && wait "$pid" 2>/dev/null
    done <"$LAB_DIR/pids"
    : >"$LAB_DIR/pids"
  fi
  local ns
  if [ -f "$LAB_DIR/namespaces" ]; then
    while read -r ns; do
      [ -n "$ns" ] && ip netns del "$ns" 2>/dev/null
    done <"$LAB_DIR/namespaces"
    : >"$LAB_DIR/namespaces"
  fi
  if [ -f "$LAB_DIR/netns-etc" ]; then
    rm -rf "$(cat "$LAB_DIR/netns-etc")"
    rm -f "$LAB_DIR/netns-etc"
  fi
}

lab_capture_start() {  # lab_capture_start FILE: everything UDP on the host's interface
  lab_spawn host tcpdump -i eth0 -U -w "$1" udp >"$LAB_DIR/tcpdump.log" 2>&1
  LAB_CAPTURE_PID=$!
  local _
  for _ in $(seq 1 50); do
    grep -q "listening on" "$LAB_DIR/tcpdump.log" 2>/dev/null && return 0
    sleep 0.1
  done
}

lab_capture_stop() {
  sleep 0.3
  kill "$LAB_CAPTURE_PID" 2>/dev/null
  wait "$LAB_CAPTURE_PID" 2>/dev/null
}

# The two requests as they must appear on the wire, from 10.77.1.10.
LAB_SNMP_REQUEST=302602010004067461726e6978a019020101020100020100300e300c06082b060102010101000500
LAB_BROWSE_REQUEST=110e00000a4d010a008a00a500002045464341434143414341434143414341434143414341434143414341434141410020000000000000000000000000000000000000000000000000000000000000000000ff534d42250000000000000000000000000000000000000000000000000000001100000a000000000000000000640000000000000000000a00560003000100010002001c005c4d41494c534c4f545c42524f57534500020042524f57534500000000

# Checks that the capture holds, per search, the SNMP request and the browse
# request to a.b.c.255 and a.b.255.255, byte for byte, and nothing else from
# the host to ports 161 and 138; and that tshark finds nothing malformed.
lab_check_requests() {  # lab_check_requests CAPTURE SEARCHES
  local capture=$1 searches=$2 failed=0
  local sent; sent=$(tshark -r "$capture" -Y "ip.src==$LAB_HOST_ADDRESS && (udp.dstport==161 || udp.dstport==138)" \
    -T fields -e ip.dst -e udp.dstport -e udp.payload 2>/dev/null)
  local expected="" i
  for ((i = 0; i < searches; i++)); do
    expected+="10.77.1.255	161	$LAB_SNMP_REQUEST"$'\n'
    expected+="10.77.1.255	138	$LAB_BROWSE_REQUEST"$'\n'
    expected+="10.77.255.255	161	$LAB_SNMP_REQUEST"$'\n'
    expected+="10.77.255.255	138	$LAB_BROWSE_REQUEST"$'\n'
  done
  if [ "$sent"$'\n' != "$expected" ]; then
    lab_log "requests on the wire differ from the expected ones:"
    diff <(printf '%s' "$expected") <(printf '%s\n' "$sent") >&2
    failed=1
  fi
  local warnings; warnings=$(tshark -r "$capture" -Y "ip.src==$LAB_HOST_ADDRESS && (_ws.malformed || _ws.expert)" 2>/dev/null)
  if [ -n "$warnings" ]; then
    lab_log "tshark reports malformed or expert-flagged requests:"; echo "$warnings" >&2
    failed=1
  fi
  [ "$failed" -eq 0 ] && lab_log "capture: $((4 * searches)) requests byte-identical, dissected cleanly"
  return "$failed"
}
