#!/usr/bin/env python3
"""tallowmake end to end: a code file with a dialog (packed by tallowcod from
tallowmake/program.tal and program.rc) becomes an executable through each
command-line form; the executable runs from an empty folder with arguments,
answers its dialog unattended and ends with the script's code (so does the
code file itself through the Windows launcher). Then the
failures: a cut executable, an altered byte, a bare stub, and tallowmake's
own errors with their exit statuses.
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile

ARGS = ["one", "two three", ""]
EXPECTED_OUT = b""
EXPECTED_ERR = b"count: 3\nargument: [one]\nargument: [two three]\nargument: []\nask: dialog\nanswer: 7\n"
EXPECTED_STATUS = 3

failures = []


def check(what, actual, expected):
    if actual != expected:
        failures.append("%s: expected %r, got %r" % (what, expected, actual))


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--make", required=True)
    ap.add_argument("--tool", required=True, help="tallowcod")
    ap.add_argument("--cases", required=True, help="the folder of program.tal and program.rc")
    ap.add_argument("--temp", required=True)
    ap.add_argument("--emulator", default="")
    ap.add_argument("--launcher", default="", help="tallowrun.exe, which runs the code file itself (Windows)")
    args = ap.parse_args()
    emulator = [args.emulator] if args.emulator else []
    suffix = ".exe" if args.make.lower().endswith(".exe") else ""
    make = os.path.abspath(args.make)
    stub = os.path.join(os.path.dirname(make), "TallowStub.exe" if suffix else "tallowstub")

    os.makedirs(args.temp, exist_ok=True)
    work = tempfile.mkdtemp(prefix="tallowmake.", dir=args.temp)
    env = dict(os.environ, TALLOW_UNATTENDED="1", XDG_CONFIG_HOME=work)

    def run(cmd, cwd=work):
        return subprocess.run(emulator + cmd, cwd=cwd, stdin=subprocess.DEVNULL, capture_output=True,
                              timeout=50, env=env)

    try:
        for name in ("program.tal", "program.rc"):
            shutil.copy(os.path.join(args.cases, name), work)
        packed = run([os.path.abspath(args.tool), "pack", "program.tal", "program.rc", "-o", "program.cod"])
        if packed.returncode != 0:
            print("tallowcod pack failed:\n" + packed.stderr.decode(errors="replace"))
            return 1

        # Both forms: -o, and the development environment's CODE"EXE in one word.
        forms = {
            "conventional": [make, "program.cod", "-o", "built1" + suffix],
            "environment": [make, "program.cod\"built2" + suffix],
        }
        for form, cmd in forms.items():
            made = run(cmd)
            check(form + " status", made.returncode, 0)
            check(form + " stderr", made.stderr, b"")
        made = run([make, "program.cod"])  # without -o: the code file's name with the platform's suffix
        check("default name status", made.returncode, 0)
        check("default name exists", os.path.exists(os.path.join(work, "program" + suffix)), True)

        for index in (1, 2):
            alone = tempfile.mkdtemp(prefix="alone.", dir=work)
            exe = os.path.join(alone, "built%d%s" % (index, suffix))
            shutil.copy(os.path.join(work, "built%d%s" % (index, suffix)), exe)
            ran = run([exe] + ARGS, cwd=alone)
            check("run %d stdout" % index, ran.stdout, EXPECTED_OUT)
            check("run %d stderr" % index, ran.stderr, EXPECTED_ERR)
            check("run %d status" % index, ran.returncode, EXPECTED_STATUS)

        if args.launcher:
            ran = run([os.path.abspath(args.launcher), "program.cod"] + ARGS)
            check("launcher stdout", ran.stdout, EXPECTED_OUT)
            check("launcher stderr", ran.stderr, EXPECTED_ERR)
            check("launcher status", ran.returncode, EXPECTED_STATUS)

        with open(os.path.join(work, "built1" + suffix), "rb") as f:
            good = f.read()
        broken = {
            "cut": (good[:-5], b"the program file is cut short: the trailer after its code file is missing"),
            "altered": (good[:-200] + bytes([good[-200] ^ 0x20]) + good[-199:],
                        b"the attached code file was altered: its checksum does not match the trailer"),
        }
        for case, (data, message) in broken.items():
            path = os.path.join(work, case + suffix)
            with open(path, "wb") as f:
                f.write(data)
            os.chmod(path, 0o755)
            ran = run([path])
            check(case + " status", ran.returncode, 2)
            check(case + " stderr", ran.stderr, case.encode() + b": " + message + b"\n")
            check(case + " stdout", ran.stdout, b"")
        ran = run([stub, "x"])
        check("bare stub status", ran.returncode, 2)
        check("bare stub says so", b"no code file is attached" in ran.stderr, True)

        # tallowmake's own failures: a missing file, a script that is no code
        # file, a code file cut inside its text, an unwritable executable, and
        # a wrong command line.
        with open(os.path.join(work, "program.cod"), "rb") as f:
            code = f.read()
        with open(os.path.join(work, "cut.cod"), "wb") as f:
            f.write(code[:-4])
        errors = [
            (["missing.cod"], 1, b"cannot open the code file missing.cod"),
            (["program.tal", "-o", "x" + suffix], 1, b"program.tal is not a code file"),
            (["cut.cod"], 1, b"cut.cod is damaged: its script text is cut short"),
            (["program.cod", "-o", os.path.join("nofolder", "x" + suffix)], 1, b"cannot write the executable"),
            (["program.cod", "-o"], 2, b"-o needs the executable's path"),
            (["--bogus"], 2, b"unknown option --bogus"),
        ]
        for words, status, message in errors:
            made = run([make] + words)
            check(" ".join(words) + " status", made.returncode, status)
            check(" ".join(words) + " message", message in made.stderr, True)
        check("no partial file", [n for n in os.listdir(work) if n.endswith(".new")], [])
        helped = run([make, "--help"])
        check("help status", helped.returncode, 0)
        check("help names the statuses", b"Exit status" in helped.stdout, True)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    for failure in failures:
        print(failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
