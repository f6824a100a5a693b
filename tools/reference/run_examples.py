#!/usr/bin/env python3
"""Runs every example of the reference pages and compares what it printed.

  run_examples.py --runner TALLOW --temp DIR [--emulator WINE] REFERENCE_DIR

Each example runs as `tallow --unattended example.tal` in a fresh folder
(which is also its XDG_CONFIG_HOME and XDG_RUNTIME_DIR, so on Linux it has a
registry and mailslots of its own) with no standard input. Its standard
output must equal the output block, its standard error the stderr block (or
nothing); line ends are compared without carriage returns (scripts end their
lines with 13 + 10), and final line ends are not compared.
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

import reference_pages


def run(args, script):
    work = tempfile.mkdtemp(prefix="example.", dir=args.temp)
    try:
        with open(os.path.join(work, "example.tal"), "w", encoding="utf-8", newline="\n") as f:
            f.write(script)
        cmd = ([args.emulator] if args.emulator else []) + [os.path.abspath(args.runner), "--unattended",
                                                            "example.tal"]
        env = dict(os.environ, XDG_CONFIG_HOME=work, XDG_RUNTIME_DIR=work, TALLOW_TEST_DIR=work)
        proc = subprocess.run(cmd, cwd=work, stdin=subprocess.DEVNULL, capture_output=True, timeout=50, env=env)
        stderr = proc.stderr
        if args.emulator:
            # Wine's own diagnostic when something asks for the label of drive
            # Z: (the shell link does): written by Wine, not by the example.
            stderr = re.sub(rb"wine: Read access denied for device [^\n]*\n", b"", stderr)
        return proc.stdout.decode("utf-8", "replace"), stderr.decode("utf-8", "replace")
    finally:
        shutil.rmtree(work, ignore_errors=True)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runner", required=True)
    ap.add_argument("--temp", required=True)
    ap.add_argument("--emulator", default="")
    ap.add_argument("root")
    args = ap.parse_args()
    os.makedirs(args.temp, exist_ok=True)
    count = failures = 0
    for page in reference_pages.load(args.root):
        for script, out, err, line in page.examples():
            count += 1
            actual_out, actual_err = run(args, script)
            actual_out = actual_out.replace("\r\n", "\n").rstrip("\n")
            actual_err = actual_err.replace("\r\n", "\n")
            if actual_out != out.rstrip("\n") or actual_err != err:
                failures += 1
                print("%s:%d: the example printed\n%r\nand on standard error\n%r\nexpected\n%r\nand\n%r"
                      % (page.rel, line, actual_out, actual_err, out, err))
    print("%d passed, %d failed" % (count - failures, failures))
    return 1 if failures or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
