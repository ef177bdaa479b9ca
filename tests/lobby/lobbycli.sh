#!/usr/bin/env bash
# Both set-ups at once (two machines on a cable with their avahi-daemons; home, router and
# internet), for the test that drives the real lexitangle-lobby and game inside them.
# Usage: lobbycli.sh TEST-PROGRAM LOBBY-PROGRAM [QtTest arguments]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/netns.sh"

lexi_ns_require dbus-daemon avahi-daemon miniupnpd nft
prog=$1 lobby=$2; shift 2
[ -x "$lobby" ] || lexi_ns_skip "$lobby is not built"
[ -x "$(dirname "$lobby")/lexitangle" ] || lexi_ns_skip "the game is not built beside $lobby"
lexi_ns_init
lexi_ns_lan || exit 1
lexi_ns_behind_router || exit 1

LEXI_NS_DIR="$LEXI_NS_DIR" LEXI_LOBBY="$lobby" \
  LEXI_NS_A="$(lexi_ns_holder_pid a)" LEXI_NS_B="$(lexi_ns_holder_pid b)" LEXI_BUS_B="$(lexi_ns_bus_address b)" \
  LEXI_NS_HOME="$(lexi_ns_holder_pid home)" LEXI_INTERNET_NS="$(lexi_ns_holder_pid net)" \
  LEXI_ROUTER_NS="$(lexi_ns_holder_pid router)" LEXI_EXTERNAL_ADDRESS="$LEXI_NS_EXTERNAL" \
  LEXI_LEASES="$LEXI_NS_DIR/leases" "$prog" "$@"
