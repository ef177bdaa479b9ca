#!/usr/bin/env bash
# A home machine behind a router running Debian's miniupnpd, and a machine on the router's
# internet side; then the test program in "home", with what it needs to look at the others.
# Usage: router.sh TEST-PROGRAM [QtTest arguments]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/netns.sh"

lexi_ns_require dbus-daemon miniupnpd nft
lexi_ns_init
lexi_ns_behind_router || exit 1

# nsenter starts the program in / : give it an absolute path.
prog=$(realpath "$1"); shift
lexi_ns_exec home env LEXI_ROUTER_PID="$LEXI_NS_ROUTER_PID" \
  LEXI_ROUTER_NS="$(lexi_ns_holder_pid router)" LEXI_INTERNET_NS="$(lexi_ns_holder_pid net)" \
  LEXI_EXTERNAL_ADDRESS="$LEXI_NS_EXTERNAL" LEXI_LAN_ADDRESS=192.168.77.2 \
  LEXI_LEASES="$LEXI_NS_DIR/leases" "$prog" "$@"
