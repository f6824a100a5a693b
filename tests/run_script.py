#!/usr/bin/env python3
"""Runs one corpus script through the runner and compares what it did.

NAME.tal is copied into a fresh folder and run there as `tallow --unattended
NAME.tal`. Its standard output must equal NAME.out byte for byte. Standard
error must equal NAME.err when that file exists, and be empty otherwise. The
exit status must equal the number in NAME.status, or 0. NAME.in, when it
exists, is the standard input (else the null device). The folder is removed
afterwards, so scripts may create files in their working folder freely.
With TALLOW_TEST_CRLF set, the script is copied with CR LF line ends.
NAME.opts, when it exists, holds further runner options (one line, split at
blanks), placed before the script's name. TALLOW_RUNNER in the environment
names the runner, for scripts that start it as a child; TALLOW_TEST_WINE=1
tells a script that it runs under Wine. Arguments after the script reach it
as argv; the folder is also the script's
XDG_CONFIG_HOME and XDG_RUNTIME_DIR, so on Linux each script has a registry
and mailslots of its own. NAME.rss, when it exists, holds the most MiB the
runner's peak resident set may reach (checked in native runs without
sanitizers): the
limits of a flooding script hold.
"""
import argparse
import os
import re
import resource
import shutil
import subprocess
import sys
import tempfile


def read(path, default=None):
    if not os.path.exists(path):
        return default
    with open(path, "rb") as f:
        return f.read()


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runner", required=True)
    ap.add_argument("--temp", required=True)
    ap.add_argument("--emulator", default="")
    ap.add_argument("script")
    ap.add_argument("args", nargs="*", help="further arguments for the script (argv)")
    args = ap.parse_args()

    base = os.path.splitext(args.script)[0]
    name = os.path.basename(args.script)
    expected_out = read(base + ".out", b"")
    expected_err = read(base + ".err", b"")
    expected_status = int((read(base + ".status", b"0") or b"0").strip())
    rss_limit = read(base + ".rss")

    os.makedirs(args.temp, exist_ok=True)
    work = tempfile.mkdtemp(prefix=os.path.basename(base) + ".", dir=args.temp)
    try:
        if os.environ.get("TALLOW_TEST_CRLF"):
            # The same script with CR LF line ends must behave the same.
            text = read(args.script).replace(b"\r\n", b"\n").replace(b"\n", b"\r\n")
            with open(os.path.join(work, name), "wb") as f:
                f.write(text)
        else:
            shutil.copy(args.script, os.path.join(work, name))
        opts = (read(base + ".opts", b"") or b"").decode().split()
        cmd = ([args.emulator] if args.emulator else []) + [os.path.abspath(args.runner), "--unattended"] + opts + [name]
        cmd += args.args
        env = dict(os.environ)
        env["TALLOW_TEST_DIR"] = work
        # The runner itself, for scripts that start it as a child program
        # (under Wine as a Windows path: Wine shows the root as drive Z:).
        runner = os.path.abspath(args.runner)
        env["TALLOW_RUNNER"] = "Z:" + runner.replace("/", "\\") if args.emulator else runner
        # Scripts that meet a limit of Wine itself (not of Windows) scale
        # themselves down when this is set.
        if args.emulator:
            env["TALLOW_TEST_WINE"] = "1"
        # The registry stand-in on Linux lives here: no script sees the user's.
        env["XDG_CONFIG_HOME"] = work
        # And so do the mailslots (runs of the corpus may overlap).
        env["XDG_RUNTIME_DIR"] = work
        stdin_path = base + ".in"
        stdin = open(stdin_path, "rb") if os.path.exists(stdin_path) else subprocess.DEVNULL
        try:
            peak_before = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
            proc = subprocess.run(cmd, cwd=work, stdin=stdin, capture_output=True, timeout=50, env=env)
            peak = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss  # KiB, of the largest child yet
        finally:
            if stdin is not subprocess.DEVNULL:
                stdin.close()
    finally:
        shutil.rmtree(work, ignore_errors=True)

    # Wine's own diagnostic when something asks for the label of drive Z: (the
    # shell link does): written by Wine, not by the script.
    stderr = proc.stderr
    if args.emulator:
        stderr = re.sub(rb"wine: Read access denied for device [^\n]*\n", b"", stderr)

    ok = True
    if proc.stdout != expected_out:
        ok = False
        print("standard output differs\n--- expected\n%r\n--- actual\n%r" % (expected_out, proc.stdout))
    if stderr != expected_err:
        ok = False
        print("standard error differs\n--- expected\n%r\n--- actual\n%r" % (expected_err, stderr))
    # Sanitizers keep memory of their own beside the program's.
    sanitized = any(os.environ.get(v) for v in ("ASAN_OPTIONS", "TSAN_OPTIONS"))
    if rss_limit and not args.emulator and not sanitized and peak > peak_before:
        limit_mib = int(rss_limit.strip())
        if peak > limit_mib * 1024:
            ok = False
            print("peak resident set %d MiB, more than the %d MiB it may reach" % (peak // 1024, limit_mib))
    status = proc.returncode & 0xFF if proc.returncode >= 0 else proc.returncode
    if status != (expected_status & 0xFF):
        ok = False
        print("exit status %d, expected %d" % (status, expected_status))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
