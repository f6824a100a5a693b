#!/usr/bin/env python3
"""How soon a socket wait returns a reply that comes 50 ms after it started.

    bench/socket/latency.py [--tallow PATH] [--rounds N] [--limit MS]

Serves bench/socket/latency.tal on 127.0.0.1: every "PING" line is answered
with "250 pong" 50 ms after it arrived, and the script answers at once with
a "GOT" line. The time from the PING to the GOT is what a wait took to hand
over the reply, plus two loopback trips. Prints the median and the worst
for readstring and waitfor, and "ok" when both medians are within the
limit (default 60 ms). A benchmark, not a test: the figures depend on the
machine's load.
"""
import argparse
import os
import socket
import statistics
import subprocess
import sys
import threading
import time

REPLY_DELAY = 0.050
HERE = os.path.dirname(os.path.abspath(__file__))


def serve(listener, times, errors):
    listener.settimeout(30)
    try:
        conn, _ = listener.accept()
    except OSError as e:
        errors.append("no connection: %s" % e)
        return
    conn.settimeout(30)
    with conn:
        conn.sendall(b"220 latency bench\r\n")
        pending, started, kind = b"", None, None
        while True:
            try:
                data = conn.recv(4096)
            except OSError as e:
                errors.append("receiving: %s" % e)
                return
            if not data:
                return
            pending += data
            while b"\r\n" in pending:
                line, pending = pending.split(b"\r\n", 1)
                now = time.monotonic()
                if line.startswith(b"PING"):
                    started, kind = now, line[5:].decode()
                    time.sleep(REPLY_DELAY)
                    conn.sendall(b"250 pong\r\n")
                elif line.startswith(b"GOT") and started is not None:
                    times.setdefault(kind, []).append((now - started) * 1000)
                    started = None
                elif line == b"QUIT":
                    return


def main():
    ap = argparse.ArgumentParser()
    root = os.path.dirname(os.path.dirname(HERE))
    ap.add_argument("--tallow", default=os.path.join(root, "build", "native", "tallow"))
    ap.add_argument("--rounds", type=int, default=20)
    ap.add_argument("--limit", type=float, default=60.0, help="milliseconds")
    args = ap.parse_args()

    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.bind(("127.0.0.1", 0))
    listener.listen(1)
    times, errors = {}, []
    server = threading.Thread(target=serve, args=(listener, times, errors), daemon=True)
    server.start()
    run = subprocess.run([args.tallow, "--unattended", os.path.join(HERE, "latency.tal"),
                          str(listener.getsockname()[1]), str(args.rounds)], timeout=120)
    server.join(5)
    listener.close()
    if run.returncode != 0 or errors:
        print("latency: the run failed (status %d) %s" % (run.returncode, "; ".join(errors)))
        return 1
    ok = True
    for kind in ("read", "waitfor"):
        values = times.get(kind, [])
        if len(values) != args.rounds:
            print("latency: %s: %d rounds of %d" % (kind, len(values), args.rounds))
            return 1
        median = statistics.median(values)
        ok = ok and median <= args.limit
        print("%-8s median %6.1f ms  worst %6.1f ms  (reply sent after %d ms)"
              % (kind, median, max(values), REPLY_DELAY * 1000))
    print("latency: %s (limit %g ms)" % ("ok" if ok else "too slow", args.limit))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
