# Network namespaces for the lobby's network tests: small "machines" joined by veth pairs, each
# with its own private /run, and the real daemons (dbus, avahi-daemon, miniupnpd) running inside.
# Sourced by the tests; everything made here is removed on exit, also when a test fails.
#
# Nothing here has a route out of the namespaces it made: a machine only knows the links the
# test gives it, so no packet can leave for an address outside.

LEXI_NS_SKIP=77
LEXI_NS_PIDS=()
LEXI_NS_NAMES=()
LEXI_NS_TAG="lx$$"
LEXI_NS_DIR=""

lexi_ns_skip() {
  echo "SKIP: $*" >&2
  exit "$LEXI_NS_SKIP"
}

# lexi_ns_require COMMAND... : skips the test, saying what is missing, where it cannot work.
lexi_ns_require() {
  [ "$(id -u)" -eq 0 ] || lexi_ns_skip "needs root to make network namespaces (CI runs as root)"
  local c
  for c in ip unshare nsenter "$@"; do
    command -v "$c" >/dev/null 2>&1 || PATH="$PATH:/usr/sbin:/sbin" command -v "$c" >/dev/null 2>&1 \
      || lexi_ns_skip "'$c' is not installed (scripts/deps installs it)"
  done
  PATH="$PATH:/usr/sbin:/sbin"
  ip netns add "$LEXI_NS_TAG-probe" 2>/dev/null || lexi_ns_skip "cannot make network namespaces here"
  ip netns del "$LEXI_NS_TAG-probe"
}

lexi_ns_cleanup() {
  local pid name
  for pid in "${LEXI_NS_PIDS[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${LEXI_NS_PIDS[@]}"; do
    for _ in 1 2 3 4 5 6 7 8 9 10; do kill -0 "$pid" 2>/dev/null || break; sleep 0.1; done
    kill -9 "$pid" 2>/dev/null
    wait "$pid" 2>/dev/null  # our own children: reap them rather than leave zombies
  done
  # Whatever still runs inside our namespaces was started there by the test (a game that its
  # lobby started detached, say): end it too, then the namespaces.
  for name in "${LEXI_NS_NAMES[@]}"; do
    for pid in $(ip netns pids "$name" 2>/dev/null); do kill "$pid" 2>/dev/null; done
  done
  for name in "${LEXI_NS_NAMES[@]}"; do
    for _ in 1 2 3 4 5 6 7 8 9 10; do [ -z "$(ip netns pids "$name" 2>/dev/null)" ] && break; sleep 0.1; done
    for pid in $(ip netns pids "$name" 2>/dev/null); do kill -9 "$pid" 2>/dev/null; done
    ip netns del "$name" 2>/dev/null
  done
  [ -n "$LEXI_NS_DIR" ] && rm -rf "$LEXI_NS_DIR"
  return 0
}

# A run that was killed outright (SIGKILL: no trap runs) leaves its namespaces behind. They are
# removed by the next run when their owner is gone, nothing runs in them and they are older than
# any run lasts, so a namespace of a run going on beside this one is never touched.
lexi_ns_sweep() {
  local ns owner
  for ns in $(ip netns list 2>/dev/null | awk '{print $1}' | grep -E '^lx[0-9]+-'); do
    owner="${ns#lx}"; owner="${owner%%-*}"
    kill -0 "$owner" 2>/dev/null && continue
    [ -z "$(ip netns pids "$ns" 2>/dev/null)" ] || continue
    [ -n "$(find /run/netns -maxdepth 1 -name "$ns" -mmin +15 2>/dev/null)" ] || continue
    ip netns del "$ns" 2>/dev/null && echo "removed $ns, left behind by a run that was killed" >&2
  done
  return 0
}

lexi_ns_init() {
  lexi_ns_sweep
  LEXI_NS_DIR=$(mktemp -d "${TMPDIR:-/tmp}/lexi-netns.XXXXXX")
  trap 'rc=$?; lexi_ns_cleanup; exit $rc' EXIT
  trap 'exit 130' INT TERM
}

# lexi_ns_add MACHINE : a namespace with only its loopback up.
lexi_ns_add() {
  local ns="$LEXI_NS_TAG-$1"
  ip netns add "$ns" || return 1
  LEXI_NS_NAMES+=("$ns")
  ip -n "$ns" link set lo up
  mkdir -p "$LEXI_NS_DIR/$1/run/dbus" "$LEXI_NS_DIR/$1/run/avahi-daemon"
}

lexi_ns_name() { echo "$LEXI_NS_TAG-$1"; }

# lexi_ns_link A IF-A ADDR-A/LEN B IF-B ADDR-B/LEN : a cable between two machines.
lexi_ns_link() {
  ip link add "$2" netns "$LEXI_NS_TAG-$1" type veth peer name "$5" netns "$LEXI_NS_TAG-$4" || return 1
  ip -n "$LEXI_NS_TAG-$1" addr add "$3" dev "$2"
  ip -n "$LEXI_NS_TAG-$4" addr add "$6" dev "$5"
  ip -n "$LEXI_NS_TAG-$1" link set "$2" up
  ip -n "$LEXI_NS_TAG-$4" link set "$5" up
}

# lexi_ns_bus MACHINE : starts the process whose mount namespace gives MACHINE its own /run
# (a bind mount of its folder), a private D-Bus system bus listening there. Prints nothing.
lexi_ns_bus() {
  local m="$1" run="$LEXI_NS_DIR/$1/run"
  cat > "$LEXI_NS_DIR/$m/bus.conf" <<'EOF'
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:path=/run/dbus/system_bus_socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
EOF
  ip netns exec "$LEXI_NS_TAG-$m" unshare -m --propagation private \
    sh -c 'mount --bind "$1" /run && exec dbus-daemon --nofork --nopidfile --config-file="$2"' \
    _ "$run" "$LEXI_NS_DIR/$m/bus.conf" >"$LEXI_NS_DIR/$m/dbus.log" 2>&1 &
  local pid=$!
  LEXI_NS_PIDS+=("$pid")
  echo "$pid" > "$LEXI_NS_DIR/$m/holder"
  lexi_ns_wait_for 5 test -S "$run/dbus/system_bus_socket" \
    || { echo "the D-Bus daemon of $m did not start:" >&2; cat "$LEXI_NS_DIR/$m/dbus.log" >&2; return 1; }
}

# lexi_ns_exec MACHINE COMMAND... : runs COMMAND inside MACHINE (its network and its /run).
lexi_ns_exec() {
  local m="$1"; shift
  nsenter -t "$(cat "$LEXI_NS_DIR/$m/holder")" -n -m "$@"
}

# lexi_ns_bg MACHINE LOG COMMAND... : the same in the background; the pid is cleaned up at exit
# and left in LEXI_NS_LAST.
lexi_ns_bg() {
  local m="$1" log="$2"; shift 2
  # nsenter itself, not a subshell, so that the pid is the command's own (nsenter execs it).
  nsenter -t "$(cat "$LEXI_NS_DIR/$m/holder")" -n -m "$@" >"$log" 2>&1 &
  LEXI_NS_LAST=$!
  LEXI_NS_PIDS+=("$LEXI_NS_LAST")
}

# lexi_ns_avahi MACHINE HOST-NAME INTERFACE : MACHINE's own avahi-daemon on its private bus,
# on INTERFACE only, IPv4 only; returns once it runs its server.
lexi_ns_avahi() {
  local m="$1" conf="$LEXI_NS_DIR/$1/avahi-daemon.conf"
  cat > "$conf" <<EOF
[server]
host-name=$2
use-ipv4=yes
use-ipv6=no
allow-interfaces=$3
enable-dbus=yes
[wide-area]
enable-wide-area=no
[publish]
publish-hinfo=no
publish-workstation=no
[reflector]
enable-reflector=no
EOF
  lexi_ns_bg "$m" "$LEXI_NS_DIR/$m/avahi.log" avahi-daemon -f "$conf" --no-drop-root --no-chroot --no-rlimits
  echo "$LEXI_NS_LAST" > "$LEXI_NS_DIR/$m/avahi.pid"
  lexi_ns_wait_for 10 grep -q "Server startup complete" "$LEXI_NS_DIR/$m/avahi.log" \
    || { echo "avahi-daemon of $m did not start:" >&2; cat "$LEXI_NS_DIR/$m/avahi.log" >&2; return 1; }
}

# lexi_ns_wait_for SECONDS COMMAND... : polls COMMAND every 50 ms until it succeeds.
lexi_ns_wait_for() {
  local end=$(( $(date +%s%N) + $1 * 1000000000 )); shift
  until "$@" 2>/dev/null; do
    [ "$(date +%s%N)" -lt "$end" ] || return 1
    sleep 0.05
  done
}

# The bus address of MACHINE as seen from outside it (for a test process that uses two buses).
lexi_ns_bus_address() { echo "unix:path=$LEXI_NS_DIR/$1/run/dbus/system_bus_socket"; }

# lexi_ns_router ROUTER LAN-IF WAN-IF EXTERNAL-ADDRESS LAN-NET [PERMISSION-RULE...] : Debian's
# miniupnpd (nftables backend) on ROUTER, answering on LAN-IF and forwarding from WAN-IF.
# miniupnpd maps nothing while its external address is private and refuses a private or
# documentation ext_ip= too, so EXTERNAL-ADDRESS must look public: the caller puts it on WAN-IF,
# inside the namespaces, where no route leads any further. Rules from LEXI_NS_DIR/leases (if
# the caller wrote it) are restored at start. Leaves the daemon's pid in LEXI_NS_ROUTER_PID.
lexi_ns_router() {
  local m="$1" lan="$2" wan="$3" ext="$4" net="$5"; shift 5
  lexi_ns_exec "$m" sysctl -qw net.ipv4.ip_forward=1
  lexi_ns_exec "$m" nft -f - <<'EOF2' || return 1
table inet filter {
  chain forward {
    type filter hook forward priority 0; policy drop;
    ct state established,related accept
    jump miniupnpd
  }
  chain miniupnpd {
  }
  chain prerouting {
    type nat hook prerouting priority -100; policy accept;
    jump prerouting_miniupnpd
  }
  chain postrouting {
    type nat hook postrouting priority 100; policy accept;
    jump postrouting_miniupnpd
  }
  chain prerouting_miniupnpd {
  }
  chain postrouting_miniupnpd {
  }
}
EOF2
  {
    echo "ext_ifname=$wan"
    echo "ext_ip=$ext"
    echo "listening_ip=$lan"
    echo "port=5555"
    echo "enable_natpmp=no"
    echo "enable_upnp=yes"
    echo "secure_mode=yes"
    echo "system_uptime=yes"
    echo "notify_interval=60"
    echo "uuid=6c657869-7461-6e67-6c65-000000007772"
    echo "lease_file=$LEXI_NS_DIR/leases"
    local rule
    for rule in "$@"; do echo "$rule"; done
    echo "allow 1024-65535 $net 1024-65535"
    echo "deny 0-65535 0.0.0.0/0 0-65535"
  } > "$LEXI_NS_DIR/miniupnpd.conf"
  lexi_ns_bg "$m" "$LEXI_NS_DIR/miniupnpd.log" miniupnpd -d -f "$LEXI_NS_DIR/miniupnpd.conf" \
    -P "$LEXI_NS_DIR/miniupnpd.pid"
  LEXI_NS_ROUTER_PID=$LEXI_NS_LAST
  lexi_ns_wait_for 10 grep -q "HTTP listening" "$LEXI_NS_DIR/miniupnpd.log" \
    || { echo "miniupnpd did not start:" >&2; cat "$LEXI_NS_DIR/miniupnpd.log" >&2; return 1; }
}

# lexi_ns_holder_pid MACHINE : a process inside MACHINE, for nsenter -t.
lexi_ns_holder_pid() { cat "$LEXI_NS_DIR/$1/holder"; }

# Two machines "a" (10.77.0.1) and "b" (10.77.0.2) on one cable, each with its own bus and
# avahi-daemon (host names lexi-a and lexi-b).
lexi_ns_lan() {
  lexi_ns_add a && lexi_ns_add b || return 1
  lexi_ns_link a lxa 10.77.0.1/24 b lxb 10.77.0.2/24 || return 1
  lexi_ns_bus a && lexi_ns_bus b || return 1
  lexi_ns_avahi a lexi-a lxa && lexi_ns_avahi b lexi-b lxb
}

# "home" (192.168.77.2) behind "router" (Debian's miniupnpd), whose internet side faces "net"
# (203.0.113.2). The router's external address LEXI_NS_EXTERNAL looks public to miniupnpd and
# exists only on the router's internet side; "net" reaches it over the cable and nothing has a
# route any further. The router already forwards port 7773 to another home machine
# (192.168.77.9) and refuses port 7774.
LEXI_NS_EXTERNAL=11.7.7.72
lexi_ns_behind_router() {
  lexi_ns_add home && lexi_ns_add router && lexi_ns_add net || return 1
  lexi_ns_link home lxh 192.168.77.2/24 router lxl 192.168.77.1/24 || return 1
  lexi_ns_link router lxw 203.0.113.1/24 net lxn 203.0.113.2/24 || return 1
  ip -n "$LEXI_NS_TAG-router" addr add "$LEXI_NS_EXTERNAL/32" dev lxw
  ip -n "$LEXI_NS_TAG-home" route add default via 192.168.77.1
  ip -n "$LEXI_NS_TAG-net" route add "$LEXI_NS_EXTERNAL/32" via 203.0.113.1
  lexi_ns_bus home && lexi_ns_bus router && lexi_ns_bus net || return 1
  echo "TCP:7773:192.168.77.9:7773:0:another machine" > "$LEXI_NS_DIR/leases"
  lexi_ns_router router lxl lxw "$LEXI_NS_EXTERNAL" 192.168.77.0/24 "deny 7774 0.0.0.0/0 7774"
}
