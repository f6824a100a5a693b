#!/usr/bin/env python3
"""Runs one socket script with a peer on the loopback interface.

tests/sockets/NAME.tal is run as the corpus runs its scripts (run_script.py:
NAME.out, NAME.err and NAME.status hold what it must print and end with),
with a port as argv$[1]. Comment lines at the top of the script choose the
peer and a time limit:

    ' peer: smtp       a line server on 127.0.0.1 (see Commands below)
    ' peer: smtp6      the same on ::1
    ' peer: closer     on 127.0.0.1: sends "bye" CR LF and "no line end", then closes
    ' peer: flood      on 127.0.0.1: sends lines of 1000 bytes to every connection
                       as fast as it takes them, until the script closes it
    ' peer: client     connects to the port (on 127.0.0.1) as soon as the script
                       listens, sends "HELO client" CR LF and answers each line
                       with "250 " and the line, until QUIT
    ' peer: client6    the same on ::1
    ' peer: refused    none: the port had a listener a moment ago and has none now
    ' within: SECONDS  the whole run must take less (it checks that waits end
                       as soon as there is something to read), beyond what
                       starting the runner and an empty script takes on this
                       machine at this moment (seconds under Wine on a busy
                       machine)

Every socket of the peer has a time-out, and the peer stops with the run.
Only 127.0.0.1 and ::1 are used.
"""
import argparse
import os
import socket
import subprocess
import sys
import threading
import time

PEER_TIMEOUT = 10.0
GREETING = b"220 tallow.test ready\r\n"
LONG_LINE = 1 << 20  # the longest line the socket object delivers whole


def reply_to(command):
    """The lines (bytes) the line server answers a command with, and whether it closes after."""
    verb, _, rest = command.partition(" ")
    verb = verb.upper()
    if verb == "HELO":
        return [b"250 hello " + rest.encode()], False
    if verb == "MANY":
        # Many lines at once, the status last: a wait must not take a pass per line.
        return [b"211-info line %d" % i for i in range(30)] + [b"250 done"], False
    if verb == "SLOW":
        time.sleep(0.2)
        return [b"250 slow reply"], False
    if verb == "LONG":
        # One byte past the longest line, then a normal line.
        return [b"x" * (LONG_LINE + 1), b"250 after long"], False
    if verb == "LF":
        # A line feed alone ends a line too.
        return [b"250 one\ntwo"], False
    if verb == "ENDS":
        # Two lines and an empty one (the reply's own CR LF), each ended by CR,
        # LF or CR LF as asked.
        end = {"CR": b"\r", "LF": b"\n", "CRLF": b"\r\n"}[rest.strip().upper()]
        return [b"third" + end + b"fourth" + end], False
    if verb == "QUIT":
        return [b"221 closing"], True
    return [b"500 unknown command: " + command.encode()], False


class Peer:
    def __init__(self, mode):
        self.mode = mode
        self.errors = []
        self.stop = threading.Event()
        self.threads = []
        self.listener = None
        family, host = (socket.AF_INET6, "::1") if mode.endswith("6") else (socket.AF_INET, "127.0.0.1")
        self.host = host
        if mode in ("smtp", "smtp6", "closer", "flood"):
            self.listener = socket.socket(family, socket.SOCK_STREAM)
            self.listener.bind((host, 0))
            self.listener.listen(5)
            self.listener.settimeout(0.1)
            self.port = self.listener.getsockname()[1]
            self.spawn(self.serve)
        else:
            # A port that is free now: the script listens on it (client) or
            # finds nobody there (refused).
            probe = socket.socket(family, socket.SOCK_STREAM)
            probe.bind((host, 0))
            self.port = probe.getsockname()[1]
            probe.close()
            if mode in ("client", "client6"):
                self.spawn(self.connect_to_script)

    def spawn(self, target, *args):
        t = threading.Thread(target=target, args=args, daemon=True)
        t.start()
        self.threads.append(t)

    def serve(self):
        while not self.stop.is_set():
            try:
                conn, _ = self.listener.accept()
            except socket.timeout:
                continue
            except OSError:
                return
            conn.settimeout(PEER_TIMEOUT)
            handler = {"closer": self.closer, "flood": self.flood}.get(self.mode, self.line_server)
            self.spawn(handler, conn)

    def closer(self, conn):
        with conn:
            conn.sendall(b"bye\r\nno line end")

    def flood(self, conn):
        line = b"x" * 998 + b"\r\n"
        block = line * 64
        with conn:
            while not self.stop.is_set():
                try:
                    conn.sendall(block)
                except socket.timeout:
                    continue  # the script is not reading: its limit holds
                except OSError:
                    return

    def line_server(self, conn):
        with conn:
            conn.sendall(GREETING)
            self.answer_lines(conn, lambda line: reply_to(line))

    def connect_to_script(self):
        deadline = time.monotonic() + PEER_TIMEOUT
        while not self.stop.is_set() and time.monotonic() < deadline:
            try:
                conn = socket.create_connection((self.host, self.port), timeout=PEER_TIMEOUT)
            except OSError:
                time.sleep(0.05)
                continue
            with conn:
                conn.sendall(b"HELO client\r\n")
                self.answer_lines(conn, lambda line: ([b"250 " + line.encode()], line == "QUIT"))
            return
        self.errors.append("the client never reached the script's port")

    def answer_lines(self, conn, answer):
        """Reads CR LF lines and sends each answer, until told to close or the script closes."""
        pending = b""
        while not self.stop.is_set():
            try:
                data = conn.recv(4096)
            except socket.timeout:
                self.errors.append("the script sent nothing for %g s" % PEER_TIMEOUT)
                return
            except OSError:
                return
            if not data:
                return
            pending += data
            while b"\r\n" in pending:
                line, pending = pending.split(b"\r\n", 1)
                lines, close = answer(line.decode("latin-1"))
                conn.sendall(b"".join(l + b"\r\n" for l in lines))
                if close:
                    return

    def close(self):
        self.stop.set()
        if self.listener:
            self.listener.close()
        for t in self.threads:
            t.join(1.0)


def header(script):
    """The peer mode and the time limit from the script's first comment lines."""
    mode, within = None, None
    with open(script, encoding="latin-1") as f:
        for line in f:
            if not line.startswith("'"):
                break
            key, _, value = line[1:].strip().partition(":")
            if key == "peer":
                mode = value.strip()
            elif key == "within":
                within = float(value)
    return mode, within


def start_up_seconds(runner, emulator):
    """What a run of an empty script takes, start to end."""
    cmd = ([emulator] if emulator else []) + [os.path.abspath(runner), "--unattended", "-e", "x# = 0"]
    started = time.monotonic()
    subprocess.run(cmd, stdin=subprocess.DEVNULL, capture_output=True, timeout=50)
    return time.monotonic() - started


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runner", required=True)
    ap.add_argument("--temp", required=True)
    ap.add_argument("--emulator", default="")
    ap.add_argument("script")
    args = ap.parse_args()

    mode, within = header(args.script)
    if mode is None:
        print("%s names no peer" % args.script)
        return 1
    if within is not None:
        within += start_up_seconds(args.runner, args.emulator)
    peer = Peer(mode)
    # The corpus runner, in this process: the time limit is the script's alone.
    sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
    import run_script
    sys.argv = [run_script.__file__, "--runner", args.runner, "--temp", args.temp, "--emulator", args.emulator,
                args.script, str(peer.port)]
    started = time.monotonic()
    try:
        rc = run_script.main()
    finally:
        elapsed = time.monotonic() - started
        peer.close()
    for error in peer.errors:
        print("peer: " + error)
        rc = rc or 1
    if within is not None and elapsed >= within:
        print("the run took %.2f s, more than the %.2f s it may" % (elapsed, within))
        rc = rc or 1
    return rc


if __name__ == "__main__":
    sys.exit(main())
