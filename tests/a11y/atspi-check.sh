#!/usr/bin/env bash
# Runs tests/a11y/atspi_check.py against the built program on a private desktop with the
# accessibility bus, in namespaces of its own (root only). Exit 77: could not run here.
set -euo pipefail
here="$(cd "$(dirname "$0")" && pwd)"
. "$here/../../scripts/a11y-env"
program="$(realpath "$1")"

missing=$(a11y_missing openbox)
if [ -n "$missing" ]; then
  echo "atspi-check: SKIP, missing: $missing (scripts/deps installs them)"
  exit 77
fi
if [ -z "${A11Y_ISOLATED:-}" ]; then
  a11y_isolate "$0" "$program" || { echo "atspi-check: SKIP, needs root for its own network and PID namespaces"; exit 77; }
fi

work="$(mktemp -d /tmp/atspi-check.XXXXXX)"
cleanup() {
  # PID 1 of this namespace: every other process here is one this check started.
  kill -TERM -1 2>/dev/null || true
  sleep 0.5
  rm -rf "$work"
}
trap cleanup EXIT

a11y_start "$work" wm
/usr/bin/python3 "$here/atspi_check.py" "$program" "$work"
