#!/usr/bin/env python3
"""A registry store that another process holds locked (Linux): a run that
does not touch the registry starts within moments and says on standard error
what it waited for; a script that reads the registry waits for the lock and
gets its value once the lock goes.
"""
import argparse
import os
import shutil
import sqlite3
import subprocess
import sys
import threading
import time

failures = []

# How long a run that needs nothing from the store may take to end while it
# is locked: well below the ten seconds a needed answer waits.
QUICK_RUN_SECONDS = 5


def check(what, actual, expected):
    if actual != expected:
        failures.append("%s: expected %r, got %r" % (what, expected, actual))


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--runner", required=True)
    parser.add_argument("--temp", required=True)
    args = parser.parse_args()
    runner = os.path.abspath(args.runner)
    work = os.path.abspath(args.temp)
    shutil.rmtree(work, ignore_errors=True)
    os.makedirs(work)
    env = dict(os.environ, XDG_CONFIG_HOME=work)
    run = lambda script: subprocess.run([runner, "--unattended", "-e", script], env=env, capture_output=True,
                                        timeout=60)
    try:
        made = run('registry.writestring "HKEY_CURRENT_USER\\Software\\LockTest", "v", "stored"')
        check("store made", made.returncode, 0)
        database = os.path.join(work, "tallow", "registry.db")
        check("store private", os.stat(database).st_mode & 0o077, 0)

        holder = sqlite3.connect(database, isolation_level=None, check_same_thread=False)
        holder.execute("BEGIN EXCLUSIVE")
        try:
            started = time.monotonic()
            quick = run('print "ran" + 10')
            took = time.monotonic() - started
            check("quick run output", quick.stdout, b"ran\n")
            check("quick run status", quick.returncode, 0)
            check("quick run is quick", took < QUICK_RUN_SECONDS, True)
            check("quick run says what it waited for", b"another process holds it locked" in quick.stderr, True)

            # A needed read waits: let the lock go after a second.
            threading.Timer(1.0, lambda: holder.execute("ROLLBACK")).start()
            read = run('print registry.readstring("HKEY_CURRENT_USER\\Software\\LockTest", "v") + 10')
            check("needed read waits for its value", read.stdout, b"stored\n")
        finally:
            time.sleep(1.5)
            holder.close()
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
