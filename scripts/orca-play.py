#!/usr/bin/python3
"""Plays one solo round of the game by keys alone (xdotool) while Orca runs, reading the board
from what Orca says, as a blind player would. Started by scripts/orca-session on its private
desktop; the game's stored choices (4x4, three letters, 45 seconds, one round) are already in
place. Waits on Orca's own debug log for each step, so it never types into a window that is
not there yet."""

import argparse
import re
import subprocess
import sys
import time

SPOKEN = re.compile(r"SPEECH OUTPUT: '(.*?)'\s*(?:\{.*\})?\s*$")


class OrcaLog:
    def __init__(self, path):
        self.path = path

    def spoken(self):
        try:
            with open(self.path, encoding="utf-8", errors="replace") as f:
                return [m.group(1) for m in map(SPOKEN.search, f) if m]
        except FileNotFoundError:
            return []

    def wait_for(self, pattern, after=0, timeout=30.0):
        """The first line after the first `after` spoken lines that matches, and its index."""
        rx = re.compile(pattern)
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            lines = self.spoken()
            for i in range(after, len(lines)):
                if rx.search(lines[i]):
                    return lines[i], i
            time.sleep(0.2)
        raise SystemExit(f"orca-play: Orca never said /{pattern}/ within {timeout} s")


def keys(*names, pause=0.6):
    for name in names:
        subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)
        time.sleep(pause)


def type_word(word):
    subprocess.run(["xdotool", "type", "--delay", "250", word.lower()], check=True)
    time.sleep(0.5)


def load_words(path):
    with open(path, "rb") as f:
        data = f.read()
    words = {w.strip().decode("ascii") for w in data.split(b"\x1e") if w.strip()}
    prefixes = set()
    for w in words:
        for i in range(1, len(w)):
            prefixes.add(w[:i])
    return words, prefixes


def board_from(reading):
    """The rows of "Board, 4 by 4. Row 1: R, A, T, E. Row 2: ..." as lists of letters."""
    rows = re.findall(r"Row \d+: ([A-Z](?:, [A-Z])*)\.", reading)
    return [row.split(", ") for row in rows]


def paths(board, words, prefixes, longest=6):
    """Every dictionary word on the board, each with one path of (row, column) cells."""
    n = len(board)
    found = {}

    def walk(r, c, seen, text):
        text += board[r][c]
        if text not in prefixes and text not in words:
            return
        seen = seen + [(r, c)]
        if len(text) >= 3 and text in words and text not in found:
            found[text] = seen
        if len(text) >= longest:
            return
        for dr in (-1, 0, 1):
            for dc in (-1, 0, 1):
                rr, cc = r + dr, c + dc
                if (dr or dc) and 0 <= rr < n and 0 <= cc < n and (rr, cc) not in seen:
                    walk(rr, cc, seen, text)

    for r in range(n):
        for c in range(n):
            walk(r, c, [], "")
    return found


def not_a_word(board, words):
    """Three neighbouring letters that spell no word."""
    n = len(board)
    for r in range(n):
        for c in range(n - 2):
            text = "".join(board[r][c:c + 3])
            if text not in words:
                return text
    return None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--game", required=True)
    ap.add_argument("--log", required=True)
    ap.add_argument("--words", required=True)
    ap.add_argument("--screenshot")
    ap.add_argument("--spoken", help="where the spoken lines are written, one a line")
    args = ap.parse_args()

    log = OrcaLog(args.log)
    log.wait_for(r"Screen reader on", timeout=60)
    words, prefixes = load_words(args.words)

    game = subprocess.Popen([args.game], cwd=args.game.rsplit("/", 1)[0],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    try:
        # The lobby download window comes first; its second button goes on to the solo game.
        _, at = log.wait_for(r"Download And Install The Orvo22 Lobby Now push button", timeout=60)
        keys("Tab")
        log.wait_for(r"Play Solo Game push button", after=at)
        keys("space", pause=1.5)
        # File, Start Game: the game start dialog, with the stored choices; START is the third stop.
        keys("alt", "Return", "Return", pause=1.0)
        _, at = log.wait_for(r"Game Start", timeout=20)
        keys("Tab", "Tab", pause=1.0)
        keys("space")
        _, at = log.wait_for(r"^Round starts", after=at, timeout=30)

        keys("ctrl+b")
        reading, at = log.wait_for(r"^Board, \d+ by \d+\.", after=at)
        board = board_from(reading)
        found = paths(board, words, prefixes)
        # Typing lays any word the board holds: a letter that does not fit beside the last one
        # lays the word so far anew where it can go on.
        playable = sorted(found, key=lambda w: (-len(w), w))
        print(f"orca-play: board {board}, {len(playable)} words", file=sys.stderr)

        if playable:
            word = playable[0]
            type_word(word)
            keys("ctrl+w")
            log.wait_for(r"^Your word", after=at)
            keys("Return", pause=1.5)
            log.wait_for(r"^You made ", after=at)
            # The same word again: refused as already found.
            type_word(word)
            keys("Return", pause=1.5)
        # Two letters: too short.
        type_word(board[0][0] + board[0][1])
        keys("Return", pause=1.5)
        nonsense = not_a_word(board, words)
        if nonsense:
            type_word(nonsense)
            keys("Return", pause=1.5)
        keys("ctrl+w", pause=1.0)

        if args.screenshot:
            subprocess.run(["import", "-window", "root", args.screenshot], check=False)
        log.wait_for(r"^10 seconds left", after=at, timeout=60)
        log.wait_for(r"^Round over", after=at, timeout=30)
        _, at = log.wait_for(r"Won the Game", after=at, timeout=30)
        # The words list comes up with its Close button focused: closed with Space.
        log.wait_for(r"Words List", timeout=10)
        time.sleep(2)
        keys("space", pause=1.5)
        # Quit: File, Exit, the last item of the menu.
        keys("alt", "Return", "Up", "Return", pause=1.0)
        game.wait(timeout=15)
    finally:
        if game.poll() is None:
            game.terminate()
            game.wait(timeout=10)
        if args.spoken:
            with open(args.spoken, "w", encoding="utf-8") as f:
                f.writelines(line + "\n" for line in log.spoken())


if __name__ == "__main__":
    main()
