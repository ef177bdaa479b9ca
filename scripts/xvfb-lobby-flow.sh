#!/usr/bin/env bash
# Two machines on one local network, played through their lobbies on one virtual X display. Each
# machine is a network namespace with its own D-Bus system bus and avahi-daemon (tests/lobby/netns.sh),
# joined to the other by a cable and to nothing else. On "ann" the lobby hosts a table with two
# computer players; on "bob" the lobby is opened with a link it refuses, lists Ann's table, joins it,
# and Bob plays a round. Screenshots of each step go to the output folder. It checks what it can
# without eyes and exits non-zero when something failed: Bob's lobby on the command line lists
# Ann's table, Bob's game history holds a round played at Ann's table with his words and their
# verdicts, and the table has left the network once the game ended. ctest runs it as lobby-wholeflow.
#
# Usage (as root): scripts/xvfb-lobby-flow.sh [build-dir] [output-dir]
#   build-dir   where the game and the lobby were built (default: build)
#   output-dir  where the screenshots go (default: a new temporary folder)
# Environment: LEXI_WM=openbox runs openbox on the display; LEXI_DISPLAY (default 58).
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="$(cd "${1:-$root/build}" && pwd)"
out="${2:-$(mktemp -d /tmp/lexitangle-lobby-flow.XXXXXX)}"
display=":${LEXI_DISPLAY:-58}"
mkdir -p "$out"
for program in lexitangle lexitangle-lobby; do
  [ -x "$build/src/$program" ] || { echo "no $program in $build/src (build it first)" >&2; exit 1; }
done

. "$root/tests/lobby/netns.sh"
lexi_ns_require Xvfb xdpyinfo xdotool import openbox dbus-daemon avahi-daemon python3
lexi_ns_init
# The clean-up must run to its end even where a command in it fails.
trap 'rc=$?; set +e; lexi_ns_cleanup; exit $rc' EXIT

lexi_ns_add ann
lexi_ns_add bob
lexi_ns_link ann lan0 10.77.0.1/24 bob lan0 10.77.0.2/24
for m in ann bob; do lexi_ns_bus $m; done
lexi_ns_avahi ann ann-pc lan0
lexi_ns_avahi bob bob-pc lan0

# The display lives outside the machines; its socket file is reachable from inside them.
Xvfb "$display" -screen 0 1700x1200x24 -nolisten tcp >"$LEXI_NS_DIR/xvfb.log" 2>&1 &
LEXI_NS_PIDS+=($!)
export DISPLAY="$display"
lexi_ns_wait_for 10 xdpyinfo >/dev/null
top=0  # a window manager's title bars need room above the windows
if [ "${LEXI_WM:-}" = openbox ]; then
  top=24
  openbox >"$LEXI_NS_DIR/openbox.log" 2>&1 &
  LEXI_NS_PIDS+=($!)
  sleep 1
fi

# A home of its own for each player: copies of both programs (so each keeps its own settings
# file beside them), a runtime folder, and the settings: the name, and for the host two computer
# players.
setup_home() {
  local m="$1" name="$2" game="$3"
  local home="$LEXI_NS_DIR/$m/home"
  mkdir -p "$home/runtime" && chmod 700 "$home/runtime"
  cp "$build/src/lexitangle" "$build/src/lexitangle-lobby" "$home/"
  printf '[Lexitangle]\r\n%b[Lobby]\r\nName=%s\r\n' "$game" "$name" >"$home/orvolobby.ini"
}
setup_home ann Ann 'ComputerPlayers=2\r\nLeft=0\r\nTop=545\r\n'
setup_home bob Bob 'Left=855\r\nTop=545\r\n'


# start_lobby MACHINE ARGUMENTS...: the machine's lobby window, whose games run in that machine.
start_lobby() {
  local m="$1"; shift
  local home="$LEXI_NS_DIR/$m/home"
  lexi_ns_bg "$m" "$LEXI_NS_DIR/$m/lobby.log" env -C "$home" HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
    XDG_CONFIG_HOME="$home/config" DISPLAY="$display" "$home/lexitangle-lobby" "$@"
}

window_of() { xdotool search --all --sync --onlyvisible --pid "$1" --name "$2" | head -1; }
shoot() { sleep "${2:-1}"; import -window root "$out/$1.png"; echo "screenshot $out/$1.png"; }
press() { xdotool windowfocus --sync "$1" 2>/dev/null || true; xdotool windowraise "$1"; sleep 0.3; xdotool key "$2"; }

# On failure Bob's history and both games' logs stay in the output folder for a look.
fail() {
  echo "FAIL: $*" >&2
  cp "$LEXI_NS_DIR"/bob/home/Lexitanglehistory.db* "$LEXI_NS_DIR"/*/lobby.log "$out/" 2>/dev/null
  exit 1
}
# bob_lists SECONDS: Bob's machine's lobby, on the command line, prints the tables it finds.
bob_lists() {
  local home="$LEXI_NS_DIR/bob/home"
  lexi_ns_exec bob env -C "$home" HOME="$home" XDG_RUNTIME_DIR="$home/runtime" \
    "$home/lexitangle-lobby" --list "$1" || true
}
# bob_history SQL: one answer from Bob's game history (beside his game, as his settings are).
bob_history() {
  python3 -c 'import sqlite3, sys
con = sqlite3.connect("file:" + sys.argv[1] + "?mode=ro", uri=True)
print(con.execute(sys.argv[2]).fetchone()[0])' "$LEXI_NS_DIR/bob/home/Lexitanglehistory.db" "$1"
}

# place WINDOW X Y: lobbies above, games below, Ann's left and Bob's right.
place() { xdotool windowsize "$1" 840 520 2>/dev/null; xdotool windowmove "$1" "$2" "$((top + $3))"; }
place_game() { sleep 2; xdotool windowmove "$1" "$2" "$((2 * top + 545))"; }

start_lobby ann
ann_lobby=$(window_of "$LEXI_NS_LAST" 'Lexitangle Lobby')
place "$ann_lobby" 0 0
start_lobby bob 'lexitangle://10.77.0.1:8000'
bob_lobby=$(window_of "$LEXI_NS_LAST" 'Lexitangle Lobby')
place "$bob_lobby" 855 0
shoot refused-link 2

press "$ann_lobby" alt+h
lexi_ns_wait_for 15 sh -c "xdotool search --onlyvisible --name '^Lexitangle\$' | grep -q ."
ann_game=$(xdotool search --onlyvisible --name '^Lexitangle$' | head -1)
place_game "$ann_game" 0
shoot hosting 3
# Bob's lobby lists the table once Avahi has carried it over.
shoot listing 2
bob_lists 3 | grep -q "^Ann	10.77.0.1	7772$" || fail "Bob's machine does not list Ann's table"

press "$bob_lobby" alt+j
lexi_ns_wait_for 15 sh -c "[ \$(xdotool search --onlyvisible --name '^Lexitangle\$' | wc -l) -ge 2 ]"
bob_game=$(xdotool search --onlyvisible --name '^Lexitangle$' | grep -v "^$ann_game\$" | head -1)
place_game "$bob_game" 855
shoot joined 3

# Ann starts the game: File / Start Game, then the dialog's Start picture.
xdotool windowraise "$ann_game"
xdotool mousemove --window "$ann_game" 20 8 click 1
sleep 0.5
xdotool key Down Return
dialog=$(xdotool search --sync --onlyvisible --name '^Lexitangle - Game Start$' | head -1)
xdotool mousemove --window "$dialog" 164 398 click 1
sleep 3
# Bob plays: types what may be words, each sent with Return, while the round runs.
xdotool windowfocus "$bob_game" 2>/dev/null || true
xdotool mousemove --window "$bob_game" 400 300
for word in rate tear stare late tone note rose sore ears east seat star; do
  xdotool type --delay 60 "$word"; xdotool key Return; sleep 0.5
done
shoot round 1
echo "waiting for the round to end"
sleep 70
shoot round-over 1
rounds=$(bob_history "SELECT count(*) FROM rounds r JOIN games g ON g.id = r.game_id
  WHERE g.role = 'join' AND CAST(g.host_address AS TEXT) = '10.77.0.1'")
[ "$rounds" -ge 1 ] || fail "Bob's history holds no round played at Ann's table"
words=$(bob_history "SELECT count(*) FROM own_words")
[ "$words" -ge 1 ] || fail "Bob's history holds none of the words he sent"
echo "Bob played $rounds round(s) at Ann's table and sent $words word(s)"

# Ann leaves (File / Exit): the table ends for everybody, both lobbies come back to the front and
# Ann's table leaves Bob's list.
xdotool windowraise "$ann_game"
xdotool mousemove --window "$ann_game" 20 8 click 1
sleep 0.5
xdotool key Up Return
shoot ended 4
[ -z "$(bob_lists 3)" ] || fail "Ann's table is still listed after her game ended"
echo "screenshots in $out"
