#!/usr/bin/env python3
"""A mailslot between two runner processes.

The reader (mailslot/reader.tal) creates the mailslot and says "ready"; the
writer (mailslot/writer.tal) then sends 10,000 one-byte messages and a line
and ends; only then is the reader told to read, so every message waits in
the mailslot meanwhile. Once the reader has ended, a writer finds no mailslot.
Under Wine (--emulator) the writer sends 200: Wine's own mailslot blocks a
writer after a few hundred waiting messages, where Windows and Linux keep
them all.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile
import threading

READER_OUT = b"ready\na line of every byte\nall of them m\nthen: done\n"
COUNT, WINE_COUNT = 10000, 200
NO_MAILSLOT = b"Error: cannot open mailslot!\n"


def run_with_timeout(proc, seconds):
    timer = threading.Timer(seconds, proc.kill)
    timer.start()
    return timer


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runner", required=True)
    ap.add_argument("--temp", required=True)
    ap.add_argument("--emulator", default="")
    args = ap.parse_args()

    here = os.path.join(os.path.dirname(os.path.abspath(__file__)), "mailslot")
    os.makedirs(args.temp, exist_ok=True)
    work = tempfile.mkdtemp(prefix="mailslot_processes.", dir=args.temp)
    for script in ("reader.tal", "writer.tal"):
        shutil.copy(os.path.join(here, script), work)
    runner = ([args.emulator] if args.emulator else []) + [os.path.abspath(args.runner), "--unattended"]
    name = "tallow_processes_%d" % os.getpid()
    count = str(WINE_COUNT if args.emulator else COUNT)
    env = dict(os.environ, XDG_CONFIG_HOME=work)
    failures = []
    try:
        reader = subprocess.Popen(runner + ["reader.tal", name, count], cwd=work, env=env, stdin=subprocess.PIPE,
                                  stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        timer = run_with_timeout(reader, 50)
        first = reader.stdout.readline()
        if first != b"ready\n":
            failures.append("the reader said %r instead of ready" % first)
        writer = subprocess.run(runner + ["writer.tal", name, count], cwd=work, env=env, stdin=subprocess.DEVNULL,
                                capture_output=True, timeout=50)
        if (writer.returncode, writer.stdout, writer.stderr) != (0, b"sent\n", b""):
            failures.append("the writer: status %d, output %r, errors %r"
                            % (writer.returncode, writer.stdout, writer.stderr))
        out, err = reader.communicate(b"go\n")
        timer.cancel()
        out = first + out
        if (reader.returncode, out, err) != (0, READER_OUT, b""):
            failures.append("the reader: status %d, output %r, errors %r" % (reader.returncode, out, err))
        late = subprocess.run(runner + ["writer.tal", name, count], cwd=work, env=env, stdin=subprocess.DEVNULL,
                              capture_output=True, timeout=50)
        if late.returncode != 1 or not late.stderr.startswith(NO_MAILSLOT):
            failures.append("a writer after the reader: status %d, errors %r" % (late.returncode, late.stderr))
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
