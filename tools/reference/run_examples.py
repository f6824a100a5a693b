#!/usr/bin/env python3
"""Runs every example of the reference or guide pages and compares what it
printed.

  run_examples.py --runner TALLOW --temp DIR [--emulator WINE] PAGES_DIR
  run_examples.py --install BUILD_DIR --temp DIR PAGES_DIR

The first form runs the tallow examples: each as `tallow --unattended
example.tal` in a fresh folder (which is also its XDG_CONFIG_HOME and
XDG_RUNTIME_DIR, so on Linux it has a registry and mailslots of its own)
with no standard input, after writing the files given before it. Its
standard output must equal the output block, its standard error the stderr
block (or nothing); line ends are compared without carriage returns (scripts
may end their lines with 13 + 10), and final line ends are not compared.
Examples marked "linux" run only natively on Linux.

The second form runs the sh examples as a user who installed Tallow would:
BUILD_DIR is installed into a fresh prefix whose bin/ leads PATH (its lib/
is LD_LIBRARY_PATH, its pkg-config folder PKG_CONFIG_PATH), and each
example's commands run with bash in a fresh folder that is also HOME, with
no display. What they write to standard output and error together must equal
the output block, blanks at the ends of lines aside (a terminal shows none).
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

import reference_pages

COMMAND_TIMEOUT = 180  # seconds for one sh example (an Ansible run takes a while)


def write_files(work, example):
    for name, text in example.files.items():
        with open(os.path.join(work, name), "w", encoding="utf-8", newline="\n") as f:
            f.write(text)


def run_script(args, example):
    work = tempfile.mkdtemp(prefix="example.", dir=args.temp)
    try:
        write_files(work, example)
        with open(os.path.join(work, "example.tal"), "w", encoding="utf-8", newline="\n") as f:
            f.write(example.script)
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


def install(args):
    """Installs the build into a fresh prefix; gives the prefix."""
    prefix = os.path.join(args.temp, "prefix")
    shutil.rmtree(prefix, ignore_errors=True)
    subprocess.run(["cmake", "--install", args.install, "--prefix", prefix], check=True,
                   stdout=subprocess.DEVNULL)
    return prefix


def run_commands(args, prefix, example):
    work = tempfile.mkdtemp(prefix="commands.", dir=args.temp)
    try:
        home = os.path.join(work, "home")
        os.mkdir(home)
        write_files(home, example)
        script = os.path.join(work, "commands.sh")
        with open(script, "w", encoding="utf-8", newline="\n") as f:
            f.write(example.script)
        env = {k: v for k, v in os.environ.items()
               if k not in ("DISPLAY", "WAYLAND_DISPLAY", "TALLOW_UNATTENDED", "TALLOW_NO_FAST_PATHS")}
        env.update(HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"), XDG_RUNTIME_DIR=home,
                   XDG_DATA_HOME=os.path.join(home, ".local", "share"), TMPDIR=work,
                   PATH=os.path.join(prefix, "bin") + os.pathsep + os.environ.get("PATH", "/usr/bin:/bin"),
                   LD_LIBRARY_PATH=os.path.join(prefix, "lib"),
                   PKG_CONFIG_PATH=os.path.join(prefix, "lib", "pkgconfig"))
        proc = subprocess.run(["bash", script], cwd=home, stdin=subprocess.DEVNULL, stdout=subprocess.PIPE,
                              stderr=subprocess.STDOUT, timeout=COMMAND_TIMEOUT, env=env)
        return proc.stdout.decode("utf-8", "replace"), ""
    finally:
        shutil.rmtree(work, ignore_errors=True)


def skip_reason(args, example):
    """Why the example cannot run here, or None."""
    if "linux" in example.words and (args.emulator or not sys.platform.startswith("linux")):
        return "runs on Linux only"
    for program in example.requires():
        if not shutil.which(program):
            return "%s is not installed" % program
    return None


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runner")
    ap.add_argument("--install")
    ap.add_argument("--temp", required=True)
    ap.add_argument("--emulator", default="")
    ap.add_argument("root")
    args = ap.parse_args()
    if bool(args.runner) == bool(args.install):
        ap.error("give either --runner or --install")
    os.makedirs(args.temp, exist_ok=True)
    lang = "sh" if args.install else "tallow"
    prefix = install(args) if args.install else None
    count = failures = skipped = 0
    for page in reference_pages.load(args.root):
        for example in page.runnable():
            if example.lang != lang:
                continue
            reason = skip_reason(args, example)
            if reason:
                skipped += 1
                print("%s:%d: skipped: %s" % (page.rel, example.line, reason))
                continue
            count += 1
            if prefix:
                actual_out, actual_err = run_commands(args, prefix, example)
            else:
                actual_out, actual_err = run_script(args, example)
            actual_out = actual_out.replace("\r\n", "\n").rstrip("\n")
            actual_err = actual_err.replace("\r\n", "\n")
            expected = example.out.rstrip("\n")
            if prefix:
                actual_out = "\n".join(line.rstrip() for line in actual_out.split("\n"))
                expected = "\n".join(line.rstrip() for line in expected.split("\n"))
            if actual_out != expected or actual_err != example.err:
                failures += 1
                print("%s:%d: the example printed\n%r\nand on standard error\n%r\nexpected\n%r\nand\n%r"
                      % (page.rel, example.line, actual_out, actual_err, example.out, example.err))
    print("%d passed, %d failed, %d skipped" % (count - failures, failures, skipped))
    return 1 if failures or count == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
