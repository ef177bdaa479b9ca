#!/usr/bin/env python3
"""Drives a hosting copy of the program with hostile raw connections beside one honest player.

Run by scripts/soak inside a private network namespace (loopback only, port 7772). Starts a
hosting copy and a joining copy, seats an honest raw player who starts a game and measures its
chat round trip and word verdicts, and lets hostile connections loose for the given time:
floods, garbage and malformed messages, over-long lines and names, empty and unknown messages,
slow and half-open connections, and connect/close churn. Then it reports what was sent, the
host's memory, the honest player's latencies, and whether every copy is still alive.

No hostile connection sends a game start: any seated player may start a game, so one would only
restart the honest player's round, which proves nothing about the host.

With --host-flood the roles turn round: a hostile raw host seats a joining copy and floods it
with each given number of megabytes, of empty messages (bytes 0xFF alone), of messages no handler
takes, and of chat lines (which the copy queues up to its bound), one fresh copy per flood. It
reports the copy's memory after the login and its peak (VmHWM), and whether the copy still
answered a login probe sent behind the flood.
"""

import argparse
import asyncio
import os
import random
import signal
import socket
import subprocess
import sys
import time

PORT = 7772
FF = b"\xff"
WARMUP_FRACTION = 0.15


def percentile(values, q):
    if not values:
        return float("nan")
    ordered = sorted(values)
    return ordered[int(q * (len(ordered) - 1))]


def rss_mb(pid, key="VmRSS"):
    try:
        with open(f"/proc/{pid}/status") as status:
            for line in status:
                if line.startswith(key + ":"):
                    return int(line.split()[1]) / 1024
    except OSError:
        pass
    return float("nan")


class Counters:
    def __init__(self):
        self.messages = {}
        self.connections = {}
        self.refused = {}

    def sent(self, role, frames):
        self.messages[role] = self.messages.get(role, 0) + frames

    def connected(self, role, full):
        book = self.refused if full else self.connections
        book[role] = book.get(role, 0) + 1


COUNTERS = Counters()


async def open_seat(role, read_greeting=True):
    """A connection and its seat (0: the table was full, and the connection is closed)."""
    reader, writer = await asyncio.wait_for(
        asyncio.open_connection("127.0.0.1", PORT, limit=1 << 20), 5)
    if not read_greeting:
        COUNTERS.connected(role, False)
        return reader, writer, 0
    greeting = await asyncio.wait_for(reader.readuntil(FF), 5)
    if greeting.startswith(b"CMD_sendlogininfo+"):
        COUNTERS.connected(role, False)
        return reader, writer, int(greeting[18:-1])
    COUNTERS.connected(role, True)
    writer.close()
    return reader, writer, 0


async def send(role, writer, data):
    writer.write(data)
    COUNTERS.sent(role, data.count(FF))
    await writer.drain()


async def drain_forever(reader):
    while await reader.read(65536):
        pass


def random_path(rng, length):
    while True:
        path = [(rng.randrange(10), rng.randrange(10))]
        while len(path) < length:
            x, y = path[-1]
            options = [(x + dx, y + dy) for dx in (-1, 0, 1) for dy in (-1, 0, 1)
                       if (dx or dy) and 0 <= x + dx < 10 and 0 <= y + dy < 10
                       and (x + dx, y + dy) not in path]
            if not options:
                break
            path.append(rng.choice(options))
        if len(path) == length:
            return path


def playerdone(seat, path):
    return b"CMD_playerdone+%d" % seat + b"".join(
        b"+%d+%d+%d" % (k + 1, x, y) for k, (x, y) in enumerate(path))


class Honest:
    """A player who chats and plays words, one at a time, and times every answer."""

    def __init__(self, rng):
        self.rng = rng
        self.seat = 0
        self.in_round = False
        self.chat_ms = []
        self.verdict_ms = []
        self.lost = {}
        self.closed = False
        self.waiting = None  # (kind, expected, future)

    async def run(self, stop):
        reader, writer, self.seat = await open_seat("honest")
        if not self.seat:
            raise RuntimeError("the honest player got no seat")
        self.writer = writer
        self.listener = asyncio.ensure_future(self.listen(reader))
        await send("honest", writer, b"CMD_logininfo+%d+1.0.6+Honest" % self.seat + FF + FF)
        await asyncio.sleep(0.5)
        await send("honest", writer, b"CMD_startgame+Honest+100000+600+7+3+0+" + FF)
        n = 0
        while not stop.is_set():
            n += 1
            await self.ask("chat", b"CMD_chat+%d+ping %d|clBlack" % (self.seat, n) + FF,
                           b"CMD_chat+Honest chats: ping %d|clBlack" % n)
            await asyncio.sleep(0.1)
            if self.in_round:
                path = random_path(self.rng, self.rng.randrange(3, 9))
                await self.ask("verdict", playerdone(self.seat, path) + FF, None)
            await asyncio.sleep(0.1)

    async def ping(self):
        """One more chat round trip after the hostile ones are gone: is the host still there?"""
        before = len(self.chat_ms)
        await self.ask("chat", b"CMD_chat+%d+last|clBlack" % self.seat + FF,
                       b"CMD_chat+Honest chats: last|clBlack")
        return len(self.chat_ms) > before

    async def ask(self, kind, message, expected):
        future = asyncio.get_running_loop().create_future()
        self.waiting = (kind, expected, future)
        start = time.perf_counter()
        try:
            await send("honest", self.writer, message)
            await asyncio.wait_for(future, 10)
            (self.chat_ms if kind == "chat" else self.verdict_ms).append(
                (time.perf_counter() - start) * 1000)
        except (asyncio.TimeoutError, ConnectionError, OSError):
            self.lost[kind] = self.lost.get(kind, 0) + 1
        finally:
            self.waiting = None

    async def listen(self, reader):
        try:
            while True:
                message = (await reader.readuntil(FF))[:-1]
                self.handle(message)
        except (asyncio.IncompleteReadError, ConnectionError, OSError):
            self.closed = True

    def handle(self, message):
        own = b"%d+" % self.seat
        if message == b"CMD_nextplayer+" + own:
            self.in_round = True
        elif message.startswith(b"CMD_timeup"):
            self.in_round = False
        if not self.waiting:
            return
        kind, expected, future = self.waiting
        hit = (message == expected) if kind == "chat" else (
            message.startswith(b"CMD_goodword+" + own) or message.startswith(b"CMD_notvalid+" + own))
        if hit and not future.done():
            future.set_result(True)


def garbage(rng, seat):
    """One malformed or random message, without its terminator."""
    s = rng.choice([seat, rng.randrange(-5, 20), 2147483647, 99999999999])
    text = bytes(rng.randrange(32, 255) for _ in range(rng.randrange(0, 40))).replace(FF, b"")
    choices = [
        lambda: bytes(rng.randrange(256) for _ in range(rng.randrange(0, 200))).replace(FF, b""),
        lambda: b"CMD_chat+%d+" % s + text + b"|" + rng.choice([b"clRed", b"$ZZ", b"", b"clblue"]),
        lambda: b"CMD_action+%d+" % s + text,
        lambda: b"CMD_playerdone+%d" % s + b"".join(
            b"+%d" % rng.randrange(-3, 14) for _ in range(rng.randrange(0, 40))),
        lambda: playerdone(seat, random_path(rng, rng.randrange(1, 13))),
        lambda: b"CMD_logininfo+%d+%s+" % (s, rng.choice([b"1.0.6", b"", b"9"])) + text,
        lambda: b"CMD_justwatch+%d+%s" % (s, rng.choice([b"1", b"2", b"x", b""])),
        lambda: b"CMD_kickhim+%d+%d+" % (s, rng.randrange(-2, 12)),
        lambda: b"CMD_playasound+%d+wave%d+" % (s, rng.randrange(-1, 30)),
        lambda: rng.choice([b"CMD_chat", b"CMD_Chat+1+x", b"+", b"CMD_timeup", b"CMD_loadboard+1"]),
    ]
    return rng.choice(choices)()


async def forever(role, body, stop, backoff=0.05):
    """Runs one hostile behaviour again and again: it reconnects whenever it is closed."""
    while not stop.is_set():
        try:
            await body()
        except (asyncio.IncompleteReadError, asyncio.TimeoutError, ConnectionError, OSError,
                asyncio.LimitOverrunError, ValueError):
            pass
        await asyncio.sleep(backoff)


def hostile_roles(rng, stop):
    async def flood_polite():
        # Logged in, keeps some 150 messages waiting at the host without passing its bound:
        # words, and every tenth a chat line, each sent again when the host answered it. (Chat
        # lines alone would fill the clients' histories toward their caps, which is growth of
        # memory by design, not a leak.)
        reader, writer, seat = await open_seat("flood")
        if not seat:
            return
        await send("flood", writer, b"CMD_logininfo+%d+1.0.6+Flooder" % seat + FF + FF)
        answers = (b"CMD_chat+Flooder chats: flood|clRed", b"CMD_notvalid+%d+" % seat,
                   b"CMD_goodword+%d+" % seat)
        sent = 0

        def batch(count):
            nonlocal sent
            messages = []
            for _ in range(count):
                sent += 1
                messages.append(b"CMD_chat+%d+flood|clRed" % seat if sent % 10 == 0
                                else playerdone(seat, random_path(rng, rng.randrange(3, 9))))
            return b"".join(m + FF for m in messages)

        await send("flood", writer, batch(150))
        pending = b""
        while not stop.is_set():
            try:
                pending += await asyncio.wait_for(reader.read(65536), 5)
            except asyncio.TimeoutError:  # no round, so no verdicts: go on anyway
                await send("flood", writer, batch(50))
                continue
            if not pending:
                return
            messages = pending.split(FF)
            pending = messages.pop()
            answered = sum(1 for m in messages if m.startswith(answers))
            if answered:
                await send("flood", writer, batch(answered))
        writer.close()

    async def flood_burst():
        # 500 lines at once: past the host's bound, so it is closed and comes back.
        reader, writer, seat = await open_seat("burst")
        if not seat:
            return
        drainer = asyncio.ensure_future(drain_forever(reader))
        await send("burst", writer, (b"CMD_chat+%d+burst|clRed" % seat + FF) * 500)
        await asyncio.wait_for(drainer, 5)
        writer.close()

    async def garbage_sender():
        reader, writer, seat = await open_seat("garbage")
        if not seat:
            return
        drainer = asyncio.ensure_future(drain_forever(reader))
        for _ in range(200):
            if stop.is_set() or drainer.done():
                break
            await send("garbage", writer, b"".join(garbage(rng, seat) + FF for _ in range(20)))
            await asyncio.sleep(0.02)
        drainer.cancel()
        writer.close()

    async def long_lines():
        reader, writer, seat = await open_seat("long")
        if not seat:
            return
        drainer = asyncio.ensure_future(drain_forever(reader))
        for message in (b"CMD_chat+%d+" % seat + b"x" * 65515 + b"|clRed",
                        b"CMD_action+%d+" % seat + b"y" * 65517 + b"|clRed",
                        b"CMD_logininfo+%d+1.0.6+" % seat + b"n" * 65512):
            await send("long", writer, message + FF)
            await asyncio.sleep(0.2)
        await send("long", writer, b"CMD_chat+%d+" % seat + b"z" * 70000)  # never ends
        await asyncio.wait_for(drainer, 5)
        writer.close()

    async def nothing_useful():
        # Empty messages and unknown keywords, which no handler takes.
        reader, writer, seat = await open_seat("empty")
        if not seat:
            return
        drainer = asyncio.ensure_future(drain_forever(reader))
        for i in range(100):
            if stop.is_set() or drainer.done():
                break
            await send("empty", writer, FF * 20000 if i % 2 else b"CMD_nothing+1" + FF * 2000)
            await asyncio.sleep(0.02)
        drainer.cancel()
        writer.close()

    async def slow():
        # One byte at a time and never reads: what the host sends piles up until it gives up.
        reader, writer, seat = await open_seat("slow")
        if not seat:
            return
        for byte in b"CMD_chat+%d+slow|clRed" % seat + FF:
            if stop.is_set():
                break
            await send("slow", writer, bytes([byte]))
            await asyncio.sleep(0.2)
        await asyncio.sleep(5)
        writer.close()

    async def half_open():
        # Connects, starts a message and goes silent, reading nothing; or ends its sending half.
        reader, writer, seat = await open_seat("half-open", read_greeting=rng.random() < 0.5)
        if rng.random() < 0.5:
            await send("half-open", writer, b"CMD_chat+%d+never finished" % seat)
            await asyncio.sleep(10)
        else:
            await send("half-open", writer, b"CMD_chat+%d+bye|clRed" % seat + FF)
            writer.transport.get_extra_info("socket").shutdown(socket.SHUT_WR)
            await asyncio.wait_for(drain_forever(reader), 10)
        writer.close()

    async def churn():
        for _ in range(100):
            reader, writer, seat = await open_seat("churn", read_greeting=rng.random() < 0.8)
            if seat and rng.random() < 0.3:
                await send("churn", writer, b"CMD_logininfo+%d+1.0.6+Churn" % seat + FF + FF)
            writer.close()
            await asyncio.sleep(0)

    return {"flood": flood_polite, "burst": flood_burst, "garbage": garbage_sender,
            "long": long_lines, "empty": nothing_useful, "slow": slow, "half-open": half_open,
            "churn": churn}


def start_copy(program, work, name, args):
    home = os.path.join(work, name)
    os.makedirs(os.path.join(home, "run"), mode=0o700)
    os.makedirs(os.path.join(home, "tmp"))
    env = dict(os.environ, HOME=home, XDG_RUNTIME_DIR=os.path.join(home, "run"),
               XDG_CONFIG_HOME=os.path.join(home, "config"), TMPDIR=os.path.join(home, "tmp"),
               QT_QPA_PLATFORM="offscreen")
    log = open(os.path.join(work, name + ".log"), "wb")
    return subprocess.Popen([program] + args, cwd=home, env=env, stdout=log, stderr=log)


async def wait_for_port(seconds=30):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        try:
            reader, writer = await asyncio.open_connection("127.0.0.1", PORT)
            writer.close()
            return True
        except OSError:
            await asyncio.sleep(0.2)
    return False


FLOODS = {
    # What the dispatcher drops anyway: the framer must not hold it either.
    "empty": FF * 65536,
    "unknown": (b"x" + FF) * 32768,
    # Chat lines are queued until the copy's bound is reached; then it closes the connection.
    "chat": (b"CMD_chat+Host chats: " + b"f" * 1000 + b"|clRed" + FF) * 64,
}


async def watch_peak(pid, figures):
    """VmHWM until the process ends: a copy that closes itself cannot be asked afterwards."""
    while True:
        peak = rss_mb(pid, "VmHWM")
        if peak != peak:  # nan: gone
            return
        figures["peak"] = peak
        figures["end"] = rss_mb(pid)
        await asyncio.sleep(0.05)


async def flood_one_copy(args, kind, megabytes):
    """One joining copy, seated by a raw host, flooded; returns its figures."""
    seated = asyncio.get_running_loop().create_future()
    finished = asyncio.Event()
    result = {"answered": False, "sent": 0, "seconds": 0.0}

    async def host(reader, writer):
        if seated.done():
            writer.close()
            return
        writer.write(b"CMD_sendlogininfo+2+" + FF)
        await writer.drain()
        await asyncio.wait_for(reader.readuntil(FF), 10)
        writer.write(b"CMD_newplayerinfo+2+Watcher" + FF + b"CMD_existingplayers+1+Host" + FF)
        await writer.drain()
        seated.set_result(True)
        await asyncio.sleep(2)
        result["login"] = rss_mb(copy.pid)
        chunk = FLOODS[kind]
        started = time.perf_counter()
        try:
            while result["sent"] < megabytes * 1024 * 1024:
                writer.write(chunk)
                result["sent"] += len(chunk)
                await writer.drain()
            # The copy answers a greeting with its login: once the answer is here, every byte
            # before it has been read.
            writer.write(b"CMD_sendlogininfo+2+" + FF)
            await writer.drain()
            while not (await asyncio.wait_for(reader.readuntil(FF), 300)).startswith(b"CMD_logininfo+"):
                pass
            result["answered"] = True
        except (asyncio.TimeoutError, asyncio.IncompleteReadError, ConnectionError, OSError):
            pass
        result["seconds"] = time.perf_counter() - started
        await asyncio.sleep(1)
        result["alive"] = copy.poll() is None
        finished.set()
        writer.close()

    server = await asyncio.start_server(host, "127.0.0.1", PORT)
    name = f"flood-{kind}-{megabytes}"
    copy = start_copy(args.program, args.work, name, ["Watcher", "127.0.0.1", "join"])
    watcher = asyncio.ensure_future(watch_peak(copy.pid, result))
    try:
        await asyncio.wait_for(seated, 30)
        await asyncio.wait_for(finished.wait(), 900)
    finally:
        watcher.cancel()
        server.close()
        await server.wait_closed()
        if copy.poll() is None:
            copy.send_signal(signal.SIGTERM)
        try:
            copy.wait(15)
        except subprocess.TimeoutExpired:
            copy.kill()
    return result


async def host_flood(args):
    sizes = [int(mb) for mb in args.host_flood.split(",") if mb]
    print("host flood: a raw host floods a joining copy, loopback in a private network namespace")
    worst = 0.0
    ok = True
    for kind in FLOODS:
        for megabytes in sizes:
            r = await flood_one_copy(args, kind, megabytes)
            growth = r["peak"] - r["login"]
            worst = max(worst, growth)
            # A chat flood past the copy's bound ends its connection, and so the copy: by design.
            ok = ok and (r["alive"] and r["answered"] or kind == "chat")
            print(f"{kind:8} {megabytes:4d} MB: RSS {r['login']:.1f} MB after login, peak "
                  f"{r['peak']:.1f} MB (VmHWM, {growth:+.1f} MB), {r['end']:.1f} MB at the end; "
                  f"{r['sent'] / 1048576 / max(r['seconds'], 1e-9):.0f} MB/s; probe "
                  f"{'answered' if r['answered'] else 'not answered'}; copy "
                  f"{'alive' if r['alive'] else 'ended'}")
    print(f"largest peak above the size after login: {worst:.1f} MB")
    print(f"logs: {args.work}/flood-*.log")
    return 0 if ok else 1


async def main(args):
    if args.host_flood:
        return await host_flood(args)
    rng = random.Random(args.seed)
    host = start_copy(args.program, args.work, "host", ["Host", "127.0.0.1", "true"])
    if not await wait_for_port():
        print("soak: the hosting copy never listened", file=sys.stderr)
        return 2
    await asyncio.sleep(1)  # its own client takes seat 1
    joiner = start_copy(args.program, args.work, "joiner", ["Watcher", "127.0.0.1", "join"])
    await asyncio.sleep(2)

    stop = asyncio.Event()
    honest = Honest(rng)
    honest_task = asyncio.ensure_future(honest.run(stop))
    await asyncio.sleep(2)

    roles = hostile_roles(rng, stop)
    tasks = [asyncio.ensure_future(forever(name, body, stop))
             for name, body in roles.items()
             for _ in range({"flood": 2, "garbage": 2, "half-open": 2}.get(name, 1))]

    samples = []
    started = time.monotonic()
    while time.monotonic() - started < args.seconds:
        await asyncio.sleep(1)
        samples.append((time.monotonic() - started, rss_mb(host.pid), rss_mb(joiner.pid)))
        if host.poll() is not None:
            break
    stop.set()
    await asyncio.sleep(0.5)
    for task in tasks:
        task.cancel()
    await asyncio.gather(*tasks, return_exceptions=True)
    try:
        await asyncio.wait_for(honest_task, 15)
    except Exception as error:  # the honest player's own failure is reported below
        print(f"soak: honest player ended with {error!r}", file=sys.stderr)
    await asyncio.sleep(1)
    answered = host.poll() is None and not honest.closed and await honest.ping()
    honest.listener.cancel()

    host_alive = host.poll() is None
    joiner_alive = joiner.poll() is None
    peak = rss_mb(host.pid, "VmHWM")
    joiner_peak = rss_mb(joiner.pid, "VmHWM")
    for copy in (joiner, host):
        if copy.poll() is None:
            copy.send_signal(signal.SIGTERM)
    for copy in (joiner, host):
        try:
            copy.wait(15)
        except subprocess.TimeoutExpired:
            copy.kill()

    warm = [(mb, joined) for t, mb, joined in samples if t >= WARMUP_FRACTION * args.seconds]
    hostile = {k: v for k, v in COUNTERS.messages.items() if k != "honest"}
    print(f"soak: {args.seconds:.0f} s against a hosting copy, loopback in a private network namespace")
    print(f"messages sent: {sum(hostile.values())} hostile "
          f"({', '.join(f'{k} {v}' for k, v in sorted(hostile.items()))}), "
          f"{COUNTERS.messages.get('honest', 0)} honest")
    print(f"hostile connections: {sum(COUNTERS.connections.values())} seated or open, "
          f"{sum(COUNTERS.refused.values())} refused as full")
    if warm:
        print(f"host RSS: {warm[0][0]:.1f} MB after warm-up, {warm[-1][0]:.1f} MB at the end, "
              f"{max(h for h, _ in warm):.1f} MB highest sample after warm-up, "
              f"peak {peak:.1f} MB (VmHWM)")
        # Both copies' clients take the same relayed lines, so their chat histories fill alike
        # toward their caps; what the hosting copy holds beyond the joining copy is the host's.
        print(f"hosting minus joining copy: {warm[0][0] - warm[0][1]:+.1f} MB after warm-up, "
              f"{warm[-1][0] - warm[-1][1]:+.1f} MB at the end")
    step = max(1, len(samples) // 10)
    print("RSS samples (s: hosting / joining MB): " + ", ".join(
        f"{t:.0f}: {mb:.1f}/{joined:.1f}" for t, mb, joined in samples[::step]))
    print(f"joining copy peak RSS: {joiner_peak:.1f} MB")
    print(f"honest chat round trip: p50 {percentile(honest.chat_ms, 0.5):.1f} ms, "
          f"p99 {percentile(honest.chat_ms, 0.99):.1f} ms ({len(honest.chat_ms)} answered)")
    print(f"honest word verdict: p50 {percentile(honest.verdict_ms, 0.5):.1f} ms, "
          f"p99 {percentile(honest.verdict_ms, 0.99):.1f} ms ({len(honest.verdict_ms)} answered)")
    print("honest requests without an answer in 10 s: "
          + (", ".join(f"{k} {v}" for k, v in honest.lost.items()) or "none"))
    print(f"alive: hosting copy {'yes' if host_alive else 'NO'}, joining copy "
          f"{'yes' if joiner_alive else 'NO'}, honest player still served "
          f"{'yes' if answered else 'NO'}")
    print(f"logs: {args.work}/host.log, {args.work}/joiner.log")
    return 0 if host_alive and joiner_alive and answered and not honest.lost else 1


if __name__ == "__main__":
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--program", required=True)
    parser.add_argument("--seconds", type=float, default=120)
    parser.add_argument("--work", required=True)
    parser.add_argument("--seed", type=int, default=7772)
    parser.add_argument("--host-flood", metavar="MB,MB...",
                        help="flood a joining copy from a hostile host instead")
    sys.exit(asyncio.run(main(parser.parse_args())))
