#!/usr/bin/env python3
"""Runs a command (a corpus run of a ddeclient script) on a private session bus.

  dde_bus_check.py --server EXE BUSNAME OBJECTPATH -- COMMAND...
  dde_bus_check.py --no-bus -- COMMAND...

With a server, the command runs inside dbus-run-session while EXE offers
OBJECTPATH under BUSNAME on that bus. With --no-bus it runs with a session
bus address that leads nowhere. Exits 77 (skipped) when dbus-run-session is
missing; otherwise with the command's status.
"""
import argparse
import os
import select
import shutil
import subprocess
import sys
import tempfile

SKIPPED = 77
READY_TIMEOUT = 10


def run_without_bus(command):
    with tempfile.TemporaryDirectory() as empty:
        env = dict(os.environ)
        env["DBUS_SESSION_BUS_ADDRESS"] = "unix:path=" + os.path.join(empty, "no-bus")
        env["XDG_RUNTIME_DIR"] = empty
        return subprocess.call(command, env=env)


def run_with_server(server, bus_name, path, command):
    proc = subprocess.Popen([server, bus_name, path], stdout=subprocess.PIPE)
    try:
        ready, _, _ = select.select([proc.stdout], [], [], READY_TIMEOUT)
        if not ready or proc.stdout.readline().strip() != b"ready":
            print("dde_bus_check: the test server did not start", file=sys.stderr)
            return 1
        return subprocess.call(command)
    finally:
        proc.terminate()
        proc.wait()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--server", nargs=3, metavar=("EXE", "BUSNAME", "OBJECTPATH"))
    ap.add_argument("--no-bus", action="store_true")
    ap.add_argument("command", nargs="+")
    args = ap.parse_args()
    if args.no_bus:
        return run_without_bus(args.command)
    if os.environ.get("TALLOW_DDE_PRIVATE_BUS"):
        return run_with_server(*args.server, args.command)
    session = shutil.which("dbus-run-session")
    if not session:
        print("dde_bus_check: dbus-run-session is missing; skipped")
        return SKIPPED
    env = dict(os.environ)
    env["TALLOW_DDE_PRIVATE_BUS"] = "1"
    return subprocess.call([session, "--", sys.executable] + sys.argv, env=env)


if __name__ == "__main__":
    sys.exit(main())
