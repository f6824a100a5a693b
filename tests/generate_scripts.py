#!/usr/bin/env python3
"""Writes the corpus scripts too big to keep in the repository into a folder.

Each NAME.tal comes with its NAME.out, as in tests/scripts; the test build runs
them the same way. Usage: generate_scripts.py OUTDIR
"""
import os
import sys

# Blocks nested deeper than any script writes by hand: IF blocks run without
# native recursion, whether the condition holds or the branch is skipped.
DEPTH = 30000


def deep_if_blocks():
    text = ["if 1 = 1 then"] * DEPTH + ['print "deep" + 10'] + ["endif"] * DEPTH + ['print "out" + 10']
    return "\n".join(text) + "\n", "deep\nout\n"


def deep_false_if_blocks():
    text = (["if 1 = 2 then"] + ["if 1 = 1 then"] * DEPTH + ['print "never" + 10']
            + ["endif"] * (DEPTH + 1) + ['print "skipped" + 10'])
    return "\n".join(text) + "\n", "skipped\n"


# Lines far longer than any written by hand: a million-character string
# literal, and a sum of 100,000 terms on one line.
LONG_LITERAL = 1000000
LONG_SUM = 100000


def long_line():
    text = ('x$ = "' + "x" * LONG_LITERAL + '"\n'
            + "y# = " + " + ".join(["1"] * LONG_SUM) + "\n"
            + 'print str(len(x$)) + " " + str(y#) + 10\n')
    return text, f"{LONG_LITERAL} {LONG_SUM}\n"


SCRIPTS = {
    "limit_deep_if_blocks": deep_if_blocks,
    "limit_deep_false_if_blocks": deep_false_if_blocks,
    "limit_long_line": long_line,
}


def main():
    out = sys.argv[1]
    os.makedirs(out, exist_ok=True)
    for name, make in SCRIPTS.items():
        text, expected = make()
        for suffix, content in ((".tal", text), (".out", expected)):
            path = os.path.join(out, name + suffix)
            # Unchanged files keep their time stamps.
            if os.path.exists(path) and open(path, newline="").read() == content:
                continue
            with open(path, "w", newline="") as f:
                f.write(content)


if __name__ == "__main__":
    main()
