#!/usr/bin/env bash
# A home machine behind a router running Debian's miniupnpd, and a machine on the router's
# internet side; then the test program in "home", with what it needs to look at the others.
# Usage: router.sh TEST-PROGRAM [QtTest arguments]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/netns.sh"

lexi_ns_require dbus-daemon miniupnpd nft
lexi_ns_init
ext=11.7.7.72   # looks public to miniupnpd; exists only on the router's internet side here
lexi_ns_add home && lexi_ns_add router && lexi_ns_add net || exit 1
lexi_ns_link home lxh 192.168.77.2/24 router lxl 192.168.77.1/24 || exit 1
lexi_ns_link router lxw 203.0.113.1/24 net lxn 203.0.113.2/24 || exit 1
ip -n "$(lexi_ns_name router)" addr add "$ext/32" dev lxw
ip -n "$(lexi_ns_name home)" route add default via 192.168.77.1
ip -n "$(lexi_ns_name net)" route add "$ext/32" via 203.0.113.1
lexi_ns_bus home && lexi_ns_bus router && lexi_ns_bus net || exit 1
# Port 7773 already belongs to another machine of the home network; 7774 is not allowed.
echo "TCP:7773:192.168.77.9:7773:0:another machine" > "$LEXI_NS_DIR/leases"
lexi_ns_router router lxl lxw "$ext" 192.168.77.0/24 "deny 7774 0.0.0.0/0 7774" || exit 1

# nsenter starts the program in / : give it an absolute path.
prog=$(realpath "$1"); shift
lexi_ns_exec home env LEXI_ROUTER_PID="$LEXI_NS_ROUTER_PID" \
  LEXI_ROUTER_NS="$(lexi_ns_holder_pid router)" LEXI_INTERNET_NS="$(lexi_ns_holder_pid net)" \
  LEXI_EXTERNAL_ADDRESS="$ext" LEXI_LAN_ADDRESS=192.168.77.2 LEXI_LEASES="$LEXI_NS_DIR/leases" "$prog" "$@"
