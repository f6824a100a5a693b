#!/usr/bin/env python3
"""Runs one port script against a serial line with a peer at its far end.

socat makes a pair of connected pseudo-terminals; serial_peer.py answers on
one end and the script NAME.tal gets the other as argv$[1]. Its output is
compared as in the script corpus (NAME.out, NAME.err, NAME.status). Under Wine
(--wine-prefix) the line is mapped to a COM port of the prefix and the script
gets its name (COMn). Exits 77, which CTest counts as skipped, when socat is
not installed.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import time

SKIPPED = 77
# COM ports of the Wine prefix that the tests may take, one per script.
WINE_COM_PORTS = range(20, 120)


def read(path, default=b""):
    if not os.path.exists(path):
        return default
    with open(path, "rb") as f:
        return f.read()


def wait_for(paths, seconds):
    deadline = time.monotonic() + seconds
    while time.monotonic() < deadline:
        if all(os.path.exists(p) for p in paths):
            return True
        time.sleep(0.05)
    return False


def stop(proc):
    if proc and proc.poll() is None:
        proc.terminate()
        try:
            proc.wait(timeout=5)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.wait()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runner", required=True)
    ap.add_argument("--temp", required=True)
    ap.add_argument("--emulator", default="")
    ap.add_argument("--wine-prefix", default="")
    ap.add_argument("script")
    args = ap.parse_args()

    socat = shutil.which("socat")
    if not socat:
        print("socat is not installed: the serial-line tests are skipped")
        return SKIPPED

    base = os.path.splitext(args.script)[0]
    name = os.path.basename(args.script)
    os.makedirs(args.temp, exist_ok=True)
    work = tempfile.mkdtemp(prefix=os.path.basename(base) + ".", dir=args.temp)
    port, peer_end = os.path.join(work, "port"), os.path.join(work, "peer")
    line = peer = None
    com_link = None
    try:
        line = subprocess.Popen([socat, "pty,raw,echo=0,link=" + port, "pty,raw,echo=0,link=" + peer_end],
                                stdin=subprocess.DEVNULL, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_for([port, peer_end], 10):
            print("socat made no line")
            return 1
        peer = subprocess.Popen([sys.executable, os.path.join(os.path.dirname(__file__), "serial_peer.py"),
                                 peer_end], stdin=subprocess.DEVNULL)
        device = port
        if args.wine_prefix:
            number = WINE_COM_PORTS[sum(name.encode()) % len(WINE_COM_PORTS)]
            com_link = os.path.join(args.wine_prefix, "dosdevices", "com%d" % number)
            if os.path.lexists(com_link):
                os.remove(com_link)
            os.symlink(os.path.realpath(port), com_link)
            device = "COM%d" % number
        shutil.copy(args.script, os.path.join(work, name))
        cmd = ([args.emulator] if args.emulator else []) + [os.path.abspath(args.runner), "--unattended", name,
                                                            device]
        env = dict(os.environ, XDG_CONFIG_HOME=work, TALLOW_TEST_DIR=work)
        proc = subprocess.run(cmd, cwd=work, stdin=subprocess.DEVNULL, capture_output=True, timeout=50, env=env)
    finally:
        stop(peer)
        stop(line)
        if com_link and os.path.lexists(com_link):
            os.remove(com_link)
        shutil.rmtree(work, ignore_errors=True)

    ok = True
    expected_out = read(base + ".out")
    expected_err = read(base + ".err")
    expected_status = int(read(base + ".status", b"0").strip() or b"0")
    if proc.stdout != expected_out:
        ok = False
        print("standard output differs\n--- expected\n%r\n--- actual\n%r" % (expected_out, proc.stdout))
    if proc.stderr != expected_err:
        ok = False
        print("standard error differs\n--- expected\n%r\n--- actual\n%r" % (expected_err, proc.stderr))
    if (proc.returncode & 0xFF) != (expected_status & 0xFF):
        ok = False
        print("exit status %d, expected %d" % (proc.returncode, expected_status))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
