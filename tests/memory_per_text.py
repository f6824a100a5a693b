#!/usr/bin/env python3
"""A big script costs little memory beyond its text: the runner's peak
resident memory for about 10 MB of short statements, run once, stays under
160 MB. Linux only (the peak comes from getrusage).

Usage: memory_per_text.py RUNNER TEMPDIR
"""
import os
import resource
import subprocess
import sys

LIMIT_KB = 160 * 1024
TARGET = 10 * 1024 * 1024
STATEMENTS = ['a# = {}', 'b$ = "x" + str(a#)', "if a# > 3 then", "c# = a# * 2", "endif"]


def main():
    runner, temp = sys.argv[1], sys.argv[2]
    os.makedirs(temp, exist_ok=True)
    path = os.path.join(temp, "memory_per_text.tal")
    lines, size, i = [], 0, 0
    while size < TARGET:
        line = STATEMENTS[i % len(STATEMENTS)].format(i)
        lines.append(line)
        size += len(line) + 1
        i += 1
    lines.append('print "done"')
    with open(path, "w") as f:
        f.write("\n".join(lines) + "\n")
    out = subprocess.run([runner, "--unattended", path], capture_output=True, timeout=120)
    os.remove(path)
    peak_kb = resource.getrusage(resource.RUSAGE_CHILDREN).ru_maxrss
    print(f"peak resident memory {peak_kb // 1024} MB for {size // (1024 * 1024)} MB of text")
    if out.returncode != 0 or out.stdout != b"done":
        print("the script did not run to its end:", out.stdout[-200:], out.stderr[-200:])
        return 1
    return 0 if peak_kb < LIMIT_KB else 1


if __name__ == "__main__":
    sys.exit(main())
