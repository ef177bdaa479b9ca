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
  for name in "${LEXI_NS_NAMES[@]}"; do ip netns del "$name" 2>/dev/null; done
  [ -n "$LEXI_NS_DIR" ] && rm -rf "$LEXI_NS_DIR"
  return 0
}

lexi_ns_init() {
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
