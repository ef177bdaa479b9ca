#!/usr/bin/env bash
# Two machines on one cable, each with its own D-Bus system bus and avahi-daemon, and a third
# with a bus but no daemon; then the test program, which reaches the three buses by their sockets.
# Usage: lantables.sh TEST-PROGRAM [QtTest arguments]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/netns.sh"

lexi_ns_require dbus-daemon avahi-daemon
lexi_ns_init
lexi_ns_add a && lexi_ns_add b && lexi_ns_add c || exit 1
lexi_ns_link a lxa 10.77.0.1/24 b lxb 10.77.0.2/24 || exit 1
lexi_ns_bus a && lexi_ns_bus b && lexi_ns_bus c || exit 1
lexi_ns_avahi a lexi-a lxa && lexi_ns_avahi b lexi-b lxb || exit 1

LEXI_BUS_A=$(lexi_ns_bus_address a) LEXI_BUS_B=$(lexi_ns_bus_address b) \
LEXI_BUS_C=$(lexi_ns_bus_address c) LEXI_ADDRESS_A=10.77.0.1 "$@"
