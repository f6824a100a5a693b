#!/usr/bin/env python3
"""Checks the tallowcod tool end to end in a fresh folder.

pack, list and unpack of a script with several dialog scripts, pack of the
unpacked files giving the same bytes, the script stored byte for byte, and
the message and exit status of every kind of failure (2 for a wrong command
line, 1 for a failure).
   tallowcod_check.py --tool TALLOWCOD --dialogs DIR --temp DIR [--emulator PROG]
"""
import argparse
import datetime
import os
import shutil
import struct
import subprocess
import sys

failures = []


def check(condition, what):
    if not condition:
        failures.append(what)
        print("FAILED:", what)


class Tool:
    def __init__(self, path, emulator, folder):
        self.command = ([emulator] if emulator else []) + [os.path.abspath(path)]
        self.folder = folder

    def run(self, *args):
        done = subprocess.run(self.command + list(args), cwd=self.folder, capture_output=True)
        return done.returncode, done.stdout.decode("latin-1").replace("\r\n", "\n"), \
            done.stderr.decode("latin-1").replace("\r\n", "\n")

    def expect(self, args, status, stderr_part, stdout_part=""):
        code, out, err = self.run(*args)
        what = "tallowcod " + " ".join(args)
        check(code == status, f"{what}: status {code}, expected {status} ({err.strip()})")
        check(stderr_part in err, f"{what}: stderr {err!r} lacks {stderr_part!r}")
        check(stdout_part in out, f"{what}: stdout {out!r} lacks {stdout_part!r}")
        return out


def write(folder, name, data):
    with open(os.path.join(folder, name), "wb") as f:
        f.write(data)


def read(folder, name):
    with open(os.path.join(folder, name), "rb") as f:
        return f.read()


def round_trip(tool, folder):
    """pack, list, unpack, pack again: the same bytes."""
    script = b'x$ = "caf\xe9"\r\nprint x$\n\tend\n'
    write(folder, "app.tal", script)
    write(folder, "odd.rc", b'"x y" DIALOG 0, 0, 10, 10\nBEGIN\nEND\nshort DIALOG 1,2,3,4 { }\n')
    tool.expect(["pack", "app.tal", "controls.rc", "header.rc", "text.rc", "odd.rc", "--date", "1999-12-31",
                 "-o", "app.cod"], 0, "")
    data = read(folder, "app.cod")
    check(data[:16] == b"TALLOW1" + bytes(9), "magic and its zero fill")
    check(struct.unpack_from("<hhhh", data, 16) == (1999, 12, 31, 2 + 10 + 1 + 2), "date stamp and dialog count")
    check(data.endswith(script + b"\0"), "the script is stored as it is with a NUL appended")
    listing = tool.expect(["list", "app.cod"], 0, "", "version 1 (TALLOW1)\ndate stamp 1999-12-31\ndialogs 15\n")
    check(f"code {len(script) + 1} bytes" in listing, "list shows the code size")
    check("  Defaults 554 bytes\n" in listing, "list shows a dialog's name and template size")
    check("  x y 24 bytes\n" in listing, "list shows a name with a blank")

    out = tool.expect(["unpack", "app.cod", "-d", "out"], 0, "")
    unpacked = os.path.join(folder, "out")
    check(read(unpacked, "app.tal") == script, "unpack writes the script byte for byte")
    check(os.path.exists(os.path.join(unpacked, "x_y.rc")), "a dialog name with a blank gives x_y.rc")
    command = [line for line in out.splitlines() if line.startswith("to build it again: ")]
    check(len(command) == 1, "unpack prints the pack command")
    args = [word.strip('"') for word in command[0].split(" ")[5:]]  # after "... again: tallowcod"
    tool.folder = unpacked
    tool.expect(args, 0, "")
    tool.folder = folder
    check(read(unpacked, "app.cod") == data, "pack of the unpacked files gives the same bytes")

    # Without --date the stamp is today's.
    before = datetime.date.today()
    tool.expect(["pack", "app.tal", "-o", "today.cod"], 0, "")
    after = datetime.date.today()
    stamp = struct.unpack_from("<hhh", read(folder, "today.cod"), 16)
    check(stamp in ((before.year, before.month, before.day), (after.year, after.month, after.day)),
          f"date stamp {stamp} is today's")
    check(struct.unpack_from("<h", read(folder, "today.cod"), 22)[0] == 0, "no dialog scripts: count 0")


def failures_and_statuses(tool, folder):
    tool.expect([], 2, "tallowcod: a command is required")
    tool.expect(["--help"], 0, "", "usage: tallowcod pack SCRIPT")
    tool.expect(["frobnicate"], 2, "tallowcod: unknown command frobnicate")
    tool.expect(["pack", "app.tal"], 2, "tallowcod: pack needs -o FILE.cod")
    tool.expect(["pack", "-o", "x.cod"], 2, "tallowcod: pack needs a script")
    tool.expect(["pack", "app.tal", "-o"], 2, "tallowcod: -o needs a value")
    tool.expect(["pack", "app.tal", "-o", "x.cod", "--date", "1999-13-01"], 2, "--date needs YYYY-MM-DD")
    tool.expect(["pack", "app.tal", "-x"], 2, "tallowcod: unknown option -x")
    tool.expect(["list"], 2, "tallowcod: list takes one code file")
    tool.expect(["unpack", "a.cod", "b.cod"], 2, "tallowcod: unpack takes one code file")

    tool.expect(["pack", "missing.tal", "-o", "x.cod"], 1, "tallowcod: cannot open missing.tal")
    tool.expect(["pack", "app.tal", "missing.rc", "-o", "x.cod"], 1, "tallowcod: cannot open missing.rc")
    write(folder, "bad.rc", b"ok DIALOG 0,0,1,1\nBEGIN\n  LTEXT \"a\", 1, 0, 0, 1\nEND\n")
    tool.expect(["pack", "app.tal", "bad.rc", "-o", "x.cod"], 1, "tallowcod: bad.rc:4: expected ',' after the width")
    write(folder, "long.rc", b"\nsixteen_chars_xx DIALOG 0,0,1,1 BEGIN END\n")
    tool.expect(["pack", "app.tal", "long.rc", "-o", "x.cod"], 1,
                "tallowcod: long.rc:2: dialog 'sixteen_chars_xx': the name is longer than 15 characters")
    write(folder, "fifteen.rc", b"fifteen_chars_x DIALOG 0,0,1,1 BEGIN END\n")
    tool.expect(["pack", "app.tal", "fifteen.rc", "-o", "x.cod"], 0, "")
    write(folder, "twice.rc", b"FIFTEEN_chars_X DIALOG 0,0,1,1 BEGIN END\n")
    tool.expect(["pack", "app.tal", "fifteen.rc", "twice.rc", "-o", "x.cod"], 1,
                "tallowcod: twice.rc:1: dialog 'FIFTEEN_chars_X': a dialog of that name came before")
    check(not os.path.exists(os.path.join(folder, "nowhere")), "test folder is clean")
    tool.expect(["pack", "app.tal", "-o", os.path.join("nowhere", "x.cod")], 1, "tallowcod: cannot write nowhere")

    tool.expect(["list", "app.tal"], 1, "tallowcod: app.tal: not a code file (invalid file type)")
    tool.expect(["list", "missing.cod"], 1, "tallowcod: cannot open missing.cod")
    data = read(folder, "app.cod")
    write(folder, "cut-text.cod", data[:-3])
    tool.expect(["list", "cut-text.cod"], 1, "tallowcod: cut-text.cod: could not load code resource")
    write(folder, "cut-dialog.cod", data[:200])
    tool.expect(["unpack", "cut-dialog.cod"], 1, "tallowcod: cut-dialog.cod: could not load dialog resource (dialog 1)")
    write(folder, "v2.cod", b"TALLOW2" + bytes(9) + struct.pack("<hhhhi", 2000, 1, 1, 0, 1) + b"\0")
    tool.expect(["list", "v2.cod"], 1, "not a code file (invalid file type)")

    # A version-0 file: its one dialog is called "dialog"; it unpacks and
    # packs again as version 1.
    template = read(folder, "app.cod")[24 + 16 + 4:24 + 16 + 4 + 554]
    v0 = b"TALLOW" + bytes(10) + struct.pack("<hhhi", 1998, 2, 3, len(template)) + template + \
        struct.pack("<i", 3) + b"go\0"
    write(folder, "old.cod", v0)
    tool.expect(["list", "old.cod"], 0, "", "version 0 (TALLOW)\ndate stamp 1998-02-03\ndialogs 1\n  dialog 554 bytes\n")
    tool.expect(["unpack", "old.cod", "-d", "old"], 0, "", "dialog.rc")
    check(read(os.path.join(folder, "old"), "old.tal") == b"go", "version 0 script")

    # A dialog name holding control characters reaches the terminal escaped:
    # ESC, BEL and the C1 CSI as \xHH, the backslash doubled, a letter of
    # the code page as it is.
    name = b"\x1b]2;x\x07\x9b\\\xe9"
    v1 = b"TALLOW1" + bytes(9) + struct.pack("<hhhh", 1998, 2, 3, 1) + name + bytes(16 - len(name)) + \
        struct.pack("<i", len(template)) + template + struct.pack("<i", 3) + b"go\0"
    write(folder, "names.cod", v1)
    out = tool.expect(["list", "names.cod"], 0, "", "  \\x1b]2;x\\x07\\x9b\\\\\xe9 554 bytes\n")
    check("\x1b" not in out and "\x07" not in out and "\x9b" not in out, "list prints no control character")


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tool", required=True)
    ap.add_argument("--dialogs", required=True)
    ap.add_argument("--temp", required=True)
    ap.add_argument("--emulator", default="")
    args = ap.parse_args()
    folder = os.path.abspath(args.temp)
    shutil.rmtree(folder, ignore_errors=True)
    os.makedirs(folder)
    for name in ("controls.rc", "header.rc", "text.rc"):
        shutil.copy(os.path.join(args.dialogs, name), folder)
    tool = Tool(args.tool, args.emulator, folder)
    round_trip(tool, folder)
    failures_and_statuses(tool, folder)
    if failures:
        print(f"{len(failures)} check(s) failed")
        return 1
    shutil.rmtree(folder, ignore_errors=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
