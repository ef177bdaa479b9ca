#!/usr/bin/env bash
# Runs two copies of the program side by side on a virtual X display: one hosts a table as
# "Ann" (arguments Ann x true), the other joins it as "Bob" (Bob 127.0.0.1 join). Each copy
# runs from its own folder holding its own copy of the program, so its settings file, tally
# and working word file stay its own, and has its own runtime folder, so the single-instance
# guard lets both run. The host listens on the program's port 7772, which must be free.
#
# Usage: scripts/xvfb-two-copies.sh [build-dir] [work-dir]
#   build-dir  where the program was built (default: build)
#   work-dir   folder for the two copies (default: a new temporary folder)
# Environment: LEXI_DISPLAY (display number, default 57), LEXI_SCREEN (default 1600x1000x24).
#
# While it runs (it waits for both copies to end, Ctrl+C stops everything):
#   DISPLAY=:57 xdotool search --name '^Lexitangle$'        the two main windows
#   DISPLAY=:57 import -window root shot.png                a picture of the screen
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
work="${2:-$(mktemp -d /tmp/lexitangle-xvfb.XXXXXX)}"
display="${LEXI_DISPLAY:-57}"
screen="${LEXI_SCREEN:-1600x1000x24}"
program="$build/src/lexitangle"
[ -x "$program" ] || { echo "no program at $program (build it first)" >&2; exit 1; }

pids=()
stop() {
  for pid in "${pids[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap stop EXIT INT TERM

Xvfb ":$display" -screen 0 "$screen" -nolisten tcp >"$work/xvfb.log" 2>&1 &
pids+=($!)
for _ in $(seq 50); do
  DISPLAY=":$display" xdpyinfo >/dev/null 2>&1 && break
  sleep 0.1
done

# start_copy NAME LEFT ARGUMENTS...: the window goes to LEFT once the copy is connected
# (that is when the program reads its settings file).
start_copy() {
  local name="$1" left="$2"
  shift 2
  local dir="$work/$name"
  mkdir -p "$dir/runtime"
  chmod 700 "$dir/runtime"
  cp "$program" "$dir/lexitangle"
  [ -f "$dir/orvolobby.ini" ] || printf '[Lexitangle]\r\nLeft=%s\r\nTop=0\r\n' "$left" >"$dir/orvolobby.ini"
  (cd "$dir" && DISPLAY=":$display" XDG_RUNTIME_DIR="$dir/runtime" exec ./lexitangle "$@") \
    >"$dir/output.log" 2>&1 &
  pids+=($!)
  echo "$name: pid $! in $dir"
}

start_copy ann 0 Ann x true
# The host must listen before the other copy knocks (looked up without connecting: a
# connection would take a seat).
for _ in $(seq 100); do
  ss -Hltn 'sport = :7772' | grep -q . && break
  sleep 0.1
done
start_copy bob 800 Bob 127.0.0.1 join
echo "display :$display, folder $work"
wait "${pids[@]:1}"
