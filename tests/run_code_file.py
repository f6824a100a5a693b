#!/usr/bin/env python3
"""Packs one code-file case with tallowcod and runs it through the runner.

NAME.tal is the script and NAME.rc, when it exists, its dialogs. They are
packed into NAME.cod in a fresh folder and run there as `tallow --unattended
NAME.cod ARG...`, with the ARGs taken from NAME.args (one per line, kept
exactly; none when the file is missing). Optional files:

  NAME.file   another name for the packed file (a code file is known by its
              magic, not by its name)
  NAME.bytes  changes to the packed bytes before the run, one per line:
              "magic TEXT" writes TEXT over the start of the file,
              "truncate N" keeps the first N bytes (N < 0: drops -N at the end)

Standard output must equal NAME.out, standard error NAME.err (empty when
missing), and the exit status NAME.status (0 when missing).
"""
import argparse
import os
import shutil
import subprocess
import sys
import tempfile


def read(path, default=None):
    if not os.path.exists(path):
        return default
    with open(path, "rb") as f:
        return f.read()


def change_bytes(data, instructions):
    for line in instructions.decode().splitlines():
        if not line.strip():
            continue
        op, _, value = line.partition(" ")
        if op == "magic":
            raw = value.encode()
            data = raw + data[len(raw):]
        elif op == "truncate":
            data = data[:int(value)]
        else:
            raise ValueError("unknown change: " + line)
    return data


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--runner", required=True)
    ap.add_argument("--tool", required=True, help="tallowcod")
    ap.add_argument("--temp", required=True)
    ap.add_argument("--emulator", default="")
    ap.add_argument("script")
    args = ap.parse_args()

    base = os.path.splitext(args.script)[0]
    name = os.path.basename(base)
    emulator = [args.emulator] if args.emulator else []
    expected_out = read(base + ".out", b"")
    expected_err = read(base + ".err", b"")
    expected_status = int((read(base + ".status", b"0") or b"0").strip())
    arguments = (read(base + ".args", b"") or b"").decode().split("\n")
    if arguments and arguments[-1] == "":
        arguments.pop()
    file_name = ((read(base + ".file", b"") or b"").decode().strip()) or name + ".cod"

    os.makedirs(args.temp, exist_ok=True)
    work = tempfile.mkdtemp(prefix=name + ".", dir=args.temp)
    try:
        shutil.copy(args.script, os.path.join(work, name + ".tal"))
        pack = emulator + [os.path.abspath(args.tool), "pack", name + ".tal"]
        if os.path.exists(base + ".rc"):
            shutil.copy(base + ".rc", os.path.join(work, name + ".rc"))
            pack.append(name + ".rc")
        pack += ["-o", file_name, "--date", "2024-05-17"]
        packed = subprocess.run(pack, cwd=work, capture_output=True, timeout=50)
        if packed.returncode != 0:
            print("tallowcod pack failed:\n" + packed.stderr.decode(errors="replace"))
            return 1
        changes = read(base + ".bytes")
        if changes:
            path = os.path.join(work, file_name)
            data = change_bytes(read(path), changes)
            with open(path, "wb") as f:
                f.write(data)
        env = dict(os.environ)
        env["XDG_CONFIG_HOME"] = work
        cmd = emulator + [os.path.abspath(args.runner), "--unattended", file_name] + arguments
        proc = subprocess.run(cmd, cwd=work, stdin=subprocess.DEVNULL, capture_output=True, timeout=50, env=env)
    finally:
        shutil.rmtree(work, ignore_errors=True)

    ok = True
    stdout, stderr = proc.stdout, proc.stderr
    if stdout != expected_out:
        ok = False
        print("standard output differs\n--- expected\n%r\n--- actual\n%r" % (expected_out, stdout))
    if stderr != expected_err:
        ok = False
        print("standard error differs\n--- expected\n%r\n--- actual\n%r" % (expected_err, stderr))
    status = proc.returncode & 0xFF if proc.returncode >= 0 else proc.returncode
    if status != (expected_status & 0xFF):
        ok = False
        print("exit status %d, expected %d" % (status, expected_status))
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
