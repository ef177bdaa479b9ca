#!/usr/bin/env bash
# Two machines on one cable, each with its own D-Bus system bus and avahi-daemon, and a third
# with a bus but no daemon; then the test program, which reaches the three buses by their sockets.
# Usage: lantables.sh TEST-PROGRAM [QtTest arguments]
set -u
here=$(cd "$(dirname "$0")" && pwd)
. "$here/netns.sh"

lexi_ns_require dbus-daemon avahi-daemon
lexi_ns_init
lexi_ns_lan || exit 1
lexi_ns_add c && lexi_ns_bus c || exit 1

LEXI_BUS_A=$(lexi_ns_bus_address a) LEXI_BUS_B=$(lexi_ns_bus_address b) \
LEXI_BUS_C=$(lexi_ns_bus_address c) LEXI_ADDRESS_A=10.77.0.1 \
LEXI_NS_A=$(lexi_ns_holder_pid a) LEXI_NS_B=$(lexi_ns_holder_pid b) LEXI_NS_DIR="$LEXI_NS_DIR" "$@"
