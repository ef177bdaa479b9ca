#!/usr/bin/python3
"""What a screen reader finds in the real program, read from the AT-SPI tree.

Two runs of the program on the private desktop that tests/a11y/atspi-check.sh made:

1. Solo: the lobby download window, then every side window opened through its menu item (game
   start, tally, spy list, phrases, round review, help, about). Each must name every control a
   player can use and every picture; the game start dialog's choices must be radio buttons with
   exactly one checked in each group, the stored one.
2. Joined to a host played by this script, which deals a board it knows: during the round the
   board must be a table whose cells name the dealt letters by row and column, also after a
   turn of the board and with a typed word's tiles marked in order; the time bar a progress bar
   holding the seconds left; and after the round the words list must be named too.

Exits 0 when all holds, 1 with one line per fault otherwise."""

import argparse
import os
import shutil
import socket
import subprocess
import sys
import threading
import time

import pyatspi

TERMINATOR = b"\xff"
# Roles of things a player works with: each needs a name.
INTERACTIVE = {
    pyatspi.ROLE_PUSH_BUTTON, pyatspi.ROLE_TOGGLE_BUTTON, pyatspi.ROLE_CHECK_BOX,
    pyatspi.ROLE_RADIO_BUTTON, pyatspi.ROLE_COMBO_BOX, pyatspi.ROLE_SPIN_BUTTON,
    pyatspi.ROLE_SLIDER, pyatspi.ROLE_TEXT, pyatspi.ROLE_ENTRY, pyatspi.ROLE_PASSWORD_TEXT,
    pyatspi.ROLE_MENU_ITEM, pyatspi.ROLE_CHECK_MENU_ITEM, pyatspi.ROLE_RADIO_MENU_ITEM,
    pyatspi.ROLE_PAGE_TAB, pyatspi.ROLE_LINK, pyatspi.ROLE_LIST, pyatspi.ROLE_LIST_BOX,
    pyatspi.ROLE_TABLE, pyatspi.ROLE_TREE, pyatspi.ROLE_TREE_TABLE,
    pyatspi.ROLE_PROGRESS_BAR, pyatspi.ROLE_SCROLL_BAR,
}
PICTURES = {pyatspi.ROLE_IMAGE, pyatspi.ROLE_ICON}
# What a view holds rather than a control: a list's rows and a table's cells are read by their
# text, and a blank cell is read as blank. The board's cells are checked against the deal.
INNER = {pyatspi.ROLE_LIST_ITEM, pyatspi.ROLE_TABLE_CELL, pyatspi.ROLE_TABLE_COLUMN_HEADER,
         pyatspi.ROLE_TABLE_ROW_HEADER}

# The board the host deals: rows as drawn, a 4x4 square at columns and rows 3..6.
BOARD = ["LEXI", "TANG", "OWRD", "SMUP"]
FIRST = 3
MIRROR = 9  # even sizes turn about index 9


def log(*args):
    print("atspi-check:", *args, file=sys.stderr, flush=True)


def state(acc, s):
    try:
        return acc.getState().contains(s)
    except Exception:
        return False


def walk(acc, depth=0):
    """Every showing accessible under acc, acc first."""
    if acc is None or depth > 40:
        return
    yield acc
    try:
        n = acc.childCount
    except Exception:
        return
    # Tables list their cells as children; a 10x10 board is the largest there is.
    for i in range(min(n, 400)):
        try:
            child = acc.getChildAtIndex(i)
        except Exception:
            continue
        if child is not None and state(child, pyatspi.STATE_SHOWING):
            yield from walk(child, depth + 1)


def describe(acc):
    try:
        path = []
        a = acc
        while a is not None and a.getRole() != pyatspi.ROLE_APPLICATION and len(path) < 8:
            path.append(f"{a.getRoleName()} '{a.name}'")
            a = a.parent
        return " < ".join(path)
    except Exception:
        return "?"


def unnamed(window):
    """Faults: showing controls and pictures with no name."""
    faults = []
    for acc in walk(window):
        try:
            role = acc.getRole()
            name = (acc.name or "").strip()
        except Exception:
            continue
        if name or role in INNER:
            continue
        if role in INTERACTIVE or role in PICTURES:
            faults.append(f"unnamed {acc.getRoleName()}: {describe(acc)}")
    return faults


def app(timeout=30):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is not None and a.name == "Lexitangle":
                return a
        time.sleep(0.2)
    raise SystemExit("atspi-check: the program never showed up on the accessibility bus")


def window(application, title, timeout=15):
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        for i in range(application.childCount):
            w = application.getChildAtIndex(i)
            if w is not None and w.name == title and state(w, pyatspi.STATE_SHOWING):
                return w
        time.sleep(0.2)
    return None


def find(root, role, name=None):
    for acc in walk(root):
        try:
            if acc.getRole() == role and (name is None or acc.name == name):
                return acc
        except Exception:
            pass
    return None


def press(acc):
    """The accessible's first action: a button's press, a menu item's trigger."""
    action = acc.queryAction()
    action.doAction(0)


def menu_item(application, caption):
    main = window(application, "Lexitangle")
    for acc in walk_all(main):
        try:
            if acc.getRole() == pyatspi.ROLE_MENU_ITEM and acc.name == caption:
                return acc
        except Exception:
            pass
    return None


def walk_all(acc, depth=0):
    """Every accessible under acc, showing or not (menus are not showing until opened)."""
    if acc is None or depth > 12:
        return
    yield acc
    for i in range(min(acc.childCount, 400)):
        child = acc.getChildAtIndex(i)
        if child is not None:
            yield from walk_all(child, depth + 1)


def copy_program(program, folder, settings):
    os.makedirs(folder, exist_ok=True)
    target = os.path.join(folder, "lexitangle")
    shutil.copy2(program, target)
    with open(os.path.join(folder, "orvolobby.ini"), "w") as f:
        f.write("[Lexitangle]\n" + "".join(f"{k}={v}\n" for k, v in settings.items()))
    return target


def check_choices(dialog):
    faults = []
    radios = [a for a in walk(dialog) if a.getRole() == pyatspi.ROLE_RADIO_BUTTON]
    sizes = [r for r in radios if r.description == "Board size"]
    lengths = [r for r in radios if r.description == "Minimum word length"]
    if len(sizes) != 8 or len(lengths) != 5:
        faults.append(f"game start: {len(sizes)} board size and {len(lengths)} length radio buttons, want 8 and 5")
    for group, want in ((sizes, "5 by 5"), (lengths, "3 letters")):
        checked = [r.name for r in group if state(r, pyatspi.STATE_CHECKED)]
        if checked != [want]:
            faults.append(f"game start: checked {checked}, want [{want!r}] (the stored choice)")
    # Choosing through the radio button's action moves the check.
    for r in sizes:
        if r.name == "8 by 8":
            press(r)
            time.sleep(0.3)
    checked = [r.name for r in sizes if state(r, pyatspi.STATE_CHECKED)]
    if checked != ["8 by 8"]:
        faults.append(f"game start: after choosing '8 by 8' checked {checked}")
    return faults


def solo_windows(program, folder):
    """Run 1: the download window and every side window of a solo game."""
    faults = []
    exe = copy_program(program, folder, {"Boardsize": 9, "Minletters": 3, "Timeperturn": 60})
    game = subprocess.Popen([exe], cwd=folder, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        application = app()
        download = window(application, "Download The Orvo22 Lobby")
        if download is None:
            faults.append("solo: the lobby download window did not show")
        else:
            faults += [f"download: {f}" for f in unnamed(download)]
            press(find(download, pyatspi.ROLE_PUSH_BUTTON, "Play Solo Game"))
        main = window(application, "Lexitangle")
        faults += [f"main: {f}" for f in unnamed(main)]
        for caption, title in (("Start Game", "Lexitangle - Game Start"),
                               ("View Tally", None),
                               ("Spy List", None),
                               ("Phrase List", None),
                               ("Round Review", "Lexitangle - Round Review"),
                               ("Content", "Lexitangle - Help File"),
                               ("About", "Lexitangle - About")):
            item = menu_item(application, caption)
            if item is None:
                faults.append(f"solo: no menu item {caption!r}")
                continue
            before = {application.getChildAtIndex(i).name for i in range(application.childCount)}
            press(item)
            shown = window(application, title) if title else None
            if shown is None:
                time.sleep(1.0)
                names = [application.getChildAtIndex(i).name for i in range(application.childCount)]
                new = [n for n in names if n not in before and n]
                shown = window(application, new[0]) if new else None
            if shown is None:
                faults.append(f"solo: {caption!r} showed no window")
                continue
            log(f"walking {shown.name!r}")
            faults += [f"{shown.name}: {f}" for f in unnamed(shown)]
            if caption == "Start Game":
                faults += check_choices(shown)
    finally:
        game.terminate()
        game.wait(timeout=10)
    return faults


class RawHost:
    """The table's host as bytes on port 7772: seats the program as player 2 and deals."""

    def __init__(self):
        self.server = socket.create_server(("127.0.0.1", 7772))
        self.conn = None
        self.received = b""
        self.lock = threading.Lock()

    def accept(self, timeout=20):
        self.server.settimeout(timeout)
        self.conn, _ = self.server.accept()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        while True:
            try:
                data = self.conn.recv(4096)
            except OSError:
                return
            if not data:
                return
            with self.lock:
                self.received += data

    def send(self, *messages):
        for m in messages:
            self.conn.sendall(m.encode("latin-1") + TERMINATOR)

    def wait_for(self, text, timeout=10):
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            with self.lock:
                if text.encode() in self.received:
                    return True
            time.sleep(0.05)
        return False


def board_text():
    cells = []
    for c in range(10):
        for r in range(10):
            code = 29
            if FIRST <= c < FIRST + 4 and FIRST <= r < FIRST + 4:
                code = ord(BOARD[r - FIRST][c - FIRST]) - ord("A") + 1
            cells += [str(c), str(r), str(code)]
    return "+" + "+".join(cells)


def expected_cells(step, word=()):
    """Cell name by (row, column) of the table as drawn after `step` quarter turns; `word` the
    dealt cells of the word in order."""
    shown = {}
    for c in range(FIRST, FIRST + 4):
        for r in range(FIRST, FIRST + 4):
            x, y = c, r
            for _ in range(step):
                x, y = MIRROR - y, x
            shown[(x, y)] = (BOARD[r - FIRST][c - FIRST], (c, r))
    left = min(x for x, _ in shown)
    top = min(y for _, y in shown)
    names = {}
    for (x, y), (letter, dealt) in shown.items():
        row, col = y - top + 1, x - left + 1
        name = f"{letter}, row {row}, column {col}"
        if dealt in word:
            n = word.index(dealt) + 1
            name += f", selected {n}{'st' if n == 1 else 'nd' if n == 2 else 'rd' if n == 3 else 'th'}"
        names[(row, col)] = name
    return names


def check_board(root, step, word=(), title="Board", marks=True):
    """The table's cells against the deal; without `marks`, a cell's place in a word is not
    compared (the review marks whichever word is selected)."""
    faults = []
    table = find(root, pyatspi.ROLE_TABLE, f"{title}, 4 by 4")
    if table is None:
        return [f"{title}: no table '{title}, 4 by 4' (turn {step})"]
    want = expected_cells(step, word)
    t = table.queryTable()
    if (t.nRows, t.nColumns) != (4, 4):
        faults.append(f"{title}: {t.nRows} rows and {t.nColumns} columns, want 4 and 4")
    for (row, col), name in sorted(want.items()):
        cell = t.getAccessibleAt(row - 1, col - 1)
        got = cell.name if cell is not None else None
        if not marks and got is not None:
            got = got.split(", selected")[0]
        if got != name:
            faults.append(f"{title} (turn {step}): row {row} column {col} is {got!r}, dealt {name!r}")
    log(f"{title} (turn {step}): {len(want)} cells read, {len(faults)} wrong")
    return faults


def xdotool(*args):
    subprocess.run(["xdotool", *args], check=True)


def joined_round(program, folder):
    """Run 2: a round on a board this script dealt."""
    faults = []
    host = RawHost()
    exe = copy_program(program, folder, {})
    game = subprocess.Popen([exe, "Tester", "127.0.0.1", "false"], cwd=folder,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        host.accept()
        host.send("CMD_sendlogininfo+2")
        if not host.wait_for("CMD_logininfo+2+"):
            return faults + ["joined: the program never logged in"]
        host.send("CMD_newplayerinfo+2+Tester", "CMD_existingplayers+1+Host",
                  "CMD_startgame+Host+30+60+4+3+0+", "CMD_loadboard" + board_text(), "CMD_nextplayer+2+")
        application = app()
        main = window(application, "Lexitangle")
        time.sleep(1.0)
        faults += [f"main, round: {f}" for f in unnamed(main)]
        faults += check_board(main, 0)

        bar = find(main, pyatspi.ROLE_PROGRESS_BAR)
        if bar is None:
            faults.append("main: no progress bar for the time")
        else:
            value = bar.queryValue()
            if not (50 <= value.currentValue <= 60 and value.maximumValue == 60):
                faults.append(f"time bar: value {value.currentValue} of {value.maximumValue}, want about 59 of 60")

        # A button's action is an animated click: one at a time.
        rotate = find(main, pyatspi.ROLE_PUSH_BUTTON, "Rotate")
        press(rotate)
        time.sleep(0.5)
        faults += check_board(main, 1)
        for _ in range(3):
            press(rotate)
            time.sleep(0.5)

        # T, A, N: the second row's first three tiles, typed; the word's tiles come out marked.
        xdotool("search", "--sync", "--name", "^Lexitangle$", "windowactivate", "--sync")
        xdotool("type", "--delay", "120", "tan")
        time.sleep(0.8)
        faults += check_board(main, 0, word=[(3, 4), (4, 4), (5, 4)])
        slot = find(main, pyatspi.ROLE_IMAGE, "Word letter 2, A")
        if slot is None:
            faults.append("word letters: no 'Word letter 2, A' after typing TAN")

        # The round's end: the words list shows the round's words.
        host.send("CMD_timeup+1+0+0+2+0+0", "CMD_mainlist+2+ANT+TAN")
        words = window(application, "Lexitangle - Words List")
        if words is None:
            faults.append("joined: the words list did not show")
        else:
            faults += [f"words list: {f}" for f in unnamed(words)]
            # The round's board in the review, as dealt.
            press(find(words, pyatspi.ROLE_PUSH_BUTTON, "Round Review"))
            review = window(application, "Lexitangle - Round Review")
            if review is None:
                faults.append("joined: the round review did not show")
            else:
                time.sleep(0.5)
                faults += [f"round review: {f}" for f in unnamed(review)]
                faults += check_board(review, 0, title="Round board", marks=False)
    finally:
        game.terminate()
        game.wait(timeout=10)
    return faults


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("program")
    ap.add_argument("folder")
    args = ap.parse_args()
    started = time.monotonic()
    faults = solo_windows(args.program, os.path.join(args.folder, "solo"))
    faults += joined_round(args.program, os.path.join(args.folder, "joined"))
    for f in faults:
        print("FAULT:", f)
    log(f"{len(faults)} faults in {time.monotonic() - started:.1f} s")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
