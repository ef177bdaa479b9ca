#!/usr/bin/env python3
"""A raw host that feeds one joining copy of the program round after round.

Run by scripts/hostile-host inside a private network namespace (loopback only, port 7772).
Starts the program as a joining copy, seats it, starts a game and sends --rounds rounds, one
every --pace seconds: a board (every tile the letter --board, or the 100 letters of --boardtext
column by column) and a list (--list, else a 64 KB list of 4-letter words, or with --words long
of 12-letter words of nine A and three other letters, which a plain path search on a board of A
tiles never finishes). With --display (under X, with xdotool) the round review is opened by the
REVIEW button of the first round's words list and the words list closed again. Prints the copy's
memory after the login and every --every rounds, and its peak at the end.
"""

import argparse
import os
import signal
import socket
import subprocess
import sys
import time

FF = b"\xff"


def rss_mb(pid, key="VmRSS"):
    with open(f"/proc/{pid}/status") as status:
        for line in status:
            if line.startswith(key + ":"):
                return int(line.split()[1]) / 1024
    return float("nan")


def word_list(kind):
    """As many distinct words as a 64 KB message holds."""
    words, size, n = [], 0, 0
    while True:
        if kind == "long":
            word, rest = bytearray(b"AAAAAAAAAAAA"), n
            for i in range(11, 8, -1):
                word[i] = ord("B") + rest % 25
                rest //= 25
        else:
            word, rest = bytearray(b"AAAA"), n
            for i in range(3, -1, -1):
                word[i] = ord("A") + rest % 26
                rest //= 26
        if size + len(word) + 1 > 65000:
            return b"+".join(words)
        words.append(bytes(word))
        size += len(word) + 1
        n += 1


def xdotool(*args):
    return subprocess.run(["xdotool", *args], capture_output=True, text=True).stdout.split()


def open_review(shot):
    """Clicks REVIEW on the words list, then its CLOSE; prints where the review stands."""
    time.sleep(2)
    words = xdotool("search", "--onlyvisible", "--name", "Lexitangle - Words List")[:1]
    for w in words:
        xdotool("mousemove", "--window", w, "256", "411", "click", "1")
    time.sleep(2)
    for w in words:
        xdotool("mousemove", "--window", w, "360", "411", "click", "1")
    time.sleep(2)
    info = subprocess.run(["xwininfo", "-name", "Lexitangle - Round Review"], capture_output=True, text=True).stdout
    print("review:", " ".join(l.strip() for l in info.splitlines()
                              if l.strip().startswith(("Absolute", "Width", "Height"))) or "not open", flush=True)
    if shot:
        subprocess.run(["import", "-window", "root", shot])


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--program", required=True)
    ap.add_argument("--rounds", type=int, default=1000)
    ap.add_argument("--every", type=int, default=100)
    ap.add_argument("--pace", type=float, default=0.05, help="seconds between rounds")
    ap.add_argument("--board", default="A")
    ap.add_argument("--boardtext", default="")
    ap.add_argument("--words", default="short", choices=["short", "long"])
    ap.add_argument("--list", default="")
    ap.add_argument("--display", action="store_true")
    ap.add_argument("--shot", default="", help="a picture of the screen once the review is open")
    ap.add_argument("--limit", type=int, default=600, help="seconds before the copy is killed")
    args = ap.parse_args()

    server = socket.socket()
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind(("127.0.0.1", 7772))
    server.listen(5)
    copy = subprocess.Popen([args.program, "Ann", "127.0.0.1", "join"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def give_up(*_):
        print("time limit or signal: the copy is killed", flush=True)
        copy.kill()
        sys.exit(1)
    signal.signal(signal.SIGTERM, give_up)
    signal.signal(signal.SIGALRM, give_up)
    signal.alarm(args.limit)

    server.settimeout(30)
    conn, _ = server.accept()
    conn.setsockopt(socket.IPPROTO_TCP, socket.TCP_NODELAY, 1)
    conn.sendall(b"CMD_sendlogininfo+2" + FF)
    got = b""
    while b"CMD_logininfo" not in got:
        got += conn.recv(4096)
    conn.sendall(b"CMD_newplayerinfo+2+Ann" + FF + b"CMD_startgame+Host+100000+600+7+3+0+" + FF)
    time.sleep(3)
    start = rss_mb(copy.pid)
    print(f"after login and game start: {start:.1f} MB", flush=True)

    letters = args.boardtext or args.board * 100
    board = b"CMD_loadboard" + b"".join(b"+%d+%d+%d" % (x, y, ord(letters[x * 10 + y]) - ord("A") + 1)
                                        for x in range(10) for y in range(10)) + FF
    listed = b"CMD_mainlist+2+" + (args.list.encode() or word_list(args.words)) + FF
    began = time.time()
    for n in range(1, args.rounds + 1):
        conn.sendall(board + listed)
        if n == 1 and args.display:
            open_review(args.shot)
        time.sleep(args.pace)
        if n % args.every == 0:
            print(f"round {n}: {rss_mb(copy.pid):.1f} MB, {time.time() - began:.1f} s", flush=True)
    time.sleep(3)
    end = rss_mb(copy.pid)
    print(f"end: {end:.1f} MB, peak {rss_mb(copy.pid, 'VmHWM'):.1f} MB, growth {end - start:+.1f} MB; "
          f"list {len(listed)} bytes; copy alive: {copy.poll() is None}", flush=True)
    copy.kill()


main()
