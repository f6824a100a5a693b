#!/usr/bin/env python3
"""tallow --register and --unregister write and remove exactly their own
entries. Linux: two files under a temporary XDG_DATA_HOME (and under
HOME/.local/share without it), with the cache tools kept off PATH so that
only the runner's files appear; a file of another program stays. Windows
(under Wine): the open verb of the code-file type under the current user's
classes, leaving an edit verb alone, and where the shell looks for it: under
the classes root, which Wine does not merge with the user's classes.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

failures = []


def check(what, actual, expected):
    if actual != expected:
        failures.append("%s: expected %r, got %r" % (what, expected, actual))


def files_below(root):
    found = set()
    for folder, _, names in os.walk(root):
        for name in names:
            found.add(os.path.relpath(os.path.join(folder, name), root))
    return found


def check_linux(runner, work):
    runner = os.path.abspath(runner)
    mine = {os.path.join("mime", "packages", "tallow-code.xml"),
            os.path.join("applications", "tallow-code.desktop")}
    other = os.path.join("applications", "other.desktop")
    for variable in ("XDG_DATA_HOME", "HOME"):
        home = tempfile.mkdtemp(prefix=variable + ".", dir=work)
        data = home if variable == "XDG_DATA_HOME" else os.path.join(home, ".local", "share")
        os.makedirs(os.path.join(data, "applications"))
        open(os.path.join(data, other), "w").close()
        env = {"PATH": "/nonexistent", "HOME": home}
        if variable == "XDG_DATA_HOME":
            env["XDG_DATA_HOME"] = home
        run = lambda word: subprocess.run([runner, word], env=env, capture_output=True, timeout=50)
        done = run("--register")
        check(variable + " register status", done.returncode, 0)
        check(variable + " files", files_below(data), mine | {other})
        with open(os.path.join(data, "applications", "tallow-code.desktop")) as f:
            entry = f.read()
        check(variable + " Exec", "\nExec=%s %%f\n" % runner in entry, True)
        check(variable + " MimeType", "\nMimeType=application/x-tallow-code;\n" in entry, True)
        with open(os.path.join(data, "mime", "packages", "tallow-code.xml")) as f:
            package = f.read()
        check(variable + " glob", '<glob pattern="*.cod"/>' in package, True)
        done = run("--unregister")
        check(variable + " unregister status", done.returncode, 0)
        check(variable + " unregister says", done.stdout.count(b"removed "), 2)
        check(variable + " files left", files_below(data), {other})
        done = run("--unregister")
        check(variable + " second unregister", (done.returncode, done.stdout),
              (0, b"code files were not registered\n"))


def check_windows(runner, emulator, work):
    env = dict(os.environ, TALLOW_UNATTENDED="1")
    prefix = [emulator] if emulator else []
    classes = "HKCU\\Software\\Classes\\Tallow95CodFile\\shell"

    def reg(*words):
        return subprocess.run(prefix + ["reg"] + list(words), env=env, capture_output=True, timeout=50)

    def run(word):
        return subprocess.run(prefix + [os.path.abspath(runner), word], env=env, capture_output=True, timeout=50)

    reg("add", classes + "\\edit\\command", "/ve", "/d", "editor", "/f")
    try:
        check("register status", run("--register").returncode, 0)
        query = reg("query", classes + "\\open\\command", "/ve")
        check("open verb written", query.returncode, 0)
        check("open verb starts the launcher", b"tallowrun.exe" in query.stdout.lower(), True)
        # What the shell reads: the type the classes root names, and its verb.
        shown = reg("query", "HKCR\\.cod", "/ve")
        check("classes root names the type", b"Tallow95CodFile" in shown.stdout, True)
        root = reg("query", "HKCR\\Tallow95CodFile\\shell\\open\\command", "/ve")
        check("classes root starts the launcher", b"tallowrun.exe" in root.stdout.lower(), True)
        check("unregister status", run("--unregister").returncode, 0)
        check("open verb removed", reg("query", classes + "\\open").returncode != 0, True)
        check("classes root verb removed",
              reg("query", "HKCR\\Tallow95CodFile\\shell\\open").returncode != 0, True)
        check("edit verb kept", reg("query", classes + "\\edit\\command", "/ve").returncode, 0)
    finally:
        reg("delete", classes + "\\edit", "/f")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runner", required=True)
    ap.add_argument("--temp", required=True)
    ap.add_argument("--emulator", default="")
    args = ap.parse_args()
    os.makedirs(args.temp, exist_ok=True)
    work = tempfile.mkdtemp(prefix="register.", dir=args.temp)
    try:
        if args.runner.lower().endswith(".exe"):
            check_windows(args.runner, args.emulator, work)
        else:
            check_linux(args.runner, work)
    finally:
        shutil.rmtree(work, ignore_errors=True)
    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
