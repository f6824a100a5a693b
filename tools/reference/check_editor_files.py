#!/usr/bin/env python3
"""Checks the generated editor files on sample lines.

  check_editor_files.py NAMES_FILE EDITOR_DIR

The TextMate grammar: its structure, every engine name in one of its
patterns, and its patterns applied with Python's re as an editor applies
them (at each place the match that starts first wins; on a tie the earlier
pattern) to sample lines. The Vim file: every engine name in it and, where
Vim is installed, the syntax group Vim gives sample words.
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

# (line, text of a token in it, the scope or Vim group it must get).
SAMPLES = [
    ("if count# > 3 then ' a comment", "if", "keyword.control", "tallowKeyword"),
    ("if count# > 3 then ' a comment", "count#", "variable.other.number", "tallowNumberVar"),
    ("if count# > 3 then ' a comment", "3", "constant.numeric", "tallowNumber"),
    ("if count# > 3 then ' a comment", "' a comment", "comment.line.apostrophe", "tallowComment"),
    ("print \"it's\" + str(x#) + 10", "\"it's\"", "string.quoted.double", "tallowString"),
    ("print \"it's\" + str(x#) + 10", "str", "support.function", "tallowFunction"),
    ("print \"it's\" + str(x#) + 10", "10", "constant.numeric", "tallowNumber"),
    ("REM the whole line", "REM the whole line", "comment.line.rem", "tallowComment"),
    ("a# = msgbox(name$, mbOK@ + mtError@)", "msgbox", "support.function", "tallowFunction"),
    ("a# = msgbox(name$, mbOK@ + mtError@)", "name$", "variable.other.string", "tallowStringVar"),
    ("a# = msgbox(name$, mbOK@ + mtError@)", "mtError@", "support.constant", "tallowConstant"),
    ("new s as socket", "new", "keyword.control", "tallowKeyword"),
    ("new s as socket", "socket", "support.class", "tallowObject"),
    ("t# = clock.now()", "clock", "support.class", "tallowObject"),
    ("again:", "again:", "entity.name.label", "tallowLabel"),
]


def scopes(grammar, line):
    """[(start, end, scope)] as an editor tokenizes one line."""
    patterns = [(re.compile(p["match"]), p["name"]) for p in grammar["patterns"]]
    out, pos = [], 0
    while pos < len(line):
        best = None
        for regex, name in patterns:
            m = regex.search(line, pos)
            if m and m.end() > m.start() and (best is None or m.start() < best[0].start()):
                best = (m, name)
        if best is None:
            break
        out.append((best[0].start(), best[0].end(), best[1]))
        pos = best[0].end()
    return out


def check_textmate(path, names):
    failures = 0
    with open(path, encoding="utf-8") as f:
        grammar = json.load(f)
    for key in ("name", "scopeName", "fileTypes", "patterns"):
        if key not in grammar:
            print("the grammar has no %s" % key)
            failures += 1
    for p in grammar["patterns"]:
        if not p.get("name", "").endswith(".tallow") or "match" not in p:
            print("a pattern without a .tallow name or a match: %r" % p)
            failures += 1
    text = "\n".join(p["match"] for p in grammar["patterns"])
    for name in names:
        if not re.search(r"(?<![\w])%s(?![\w])" % re.escape(name), text):
            print("the grammar lacks %s" % name)
            failures += 1
    for line, token, scope, _ in SAMPLES:
        start = line.index(token)
        found = [s for s in scopes(grammar, line) if s[0] == start and s[1] == start + len(token)]
        if not found or not found[0][2].startswith(scope + "."):
            print("TextMate: %r in %r: expected %s, got %s" % (token, line, scope, found or scopes(grammar, line)))
            failures += 1
    return failures


def check_vim(path, names):
    failures = 0
    with open(path, encoding="utf-8") as f:
        text = f.read()
    for name in names:
        if not re.search(r"(?<![\w])%s(?![\w])" % re.escape(name), text):
            print("the Vim file lacks %s" % name)
            failures += 1
    vim = shutil.which("vim")
    if not vim:
        print("vim is not installed: its colouring was not tried")
        return failures
    work = tempfile.mkdtemp()
    try:
        sample = os.path.join(work, "sample.tal")
        lines = sorted(set(s[0] for s in SAMPLES))
        with open(sample, "w") as f:
            f.write("\n".join(lines) + "\n")
        result = os.path.join(work, "result.txt")
        probes = ["[%d,%d]" % (lines.index(line) + 1, line.index(token) + 1) for line, token, _, _ in SAMPLES]
        script = os.path.join(work, "probe.vim")
        with open(script, "w") as f:
            f.write("syntax on\nsource %s\nlet out = []\nfor p in [%s]\n"
                    "  call add(out, synIDattr(synID(p[0], p[1], 1), 'name'))\nendfor\n"
                    "call writefile(out, '%s')\nqa!\n" % (os.path.abspath(path), ",".join(probes), result))
        subprocess.run([vim, "-Nu", "NONE", "-i", "NONE", "-es", "-S", script, sample],
                       stdin=subprocess.DEVNULL, capture_output=True, timeout=30)
        with open(result) as f:
            got = f.read().split("\n")
        for (line, token, _, group), name in zip(SAMPLES, got):
            if name != group:
                print("Vim: %r in %r: expected %s, got %r" % (token, line, group, name))
                failures += 1
    finally:
        shutil.rmtree(work, ignore_errors=True)
    return failures


def main():
    names = []
    with open(sys.argv[1], encoding="utf-8") as f:
        for line in f:
            kind, name = line.rstrip("\n").split("\t")
            if kind != "member" and re.fullmatch(r"\w+", name) and name.lower() != "rem":
                names.append(name)
    folder = sys.argv[2]
    failures = check_textmate(os.path.join(folder, "tallow.tmLanguage.json"), names)
    failures += check_vim(os.path.join(folder, "tallow.vim"), names)
    print("%d names, %d samples, %d problems" % (len(names), len(SAMPLES), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
