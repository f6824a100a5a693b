#!/usr/bin/env python3
"""Writes editor support for Tallow scripts from the engine's name list.

  build_editor_files.py NAMES_FILE OUTPUT_DIR

NAMES_FILE is what tallow_names prints. OUTPUT_DIR gets
tallow.tmLanguage.json (a TextMate grammar, which editors such as VS Code
and Sublime Text read) and tallow.vim (a Vim syntax file). Both colour
comments (' and rem), strings, numbers, keywords, functions, built-in objects
and types, constants, labels and the $ # @ suffixes.
"""
import json
import os
import re
import sys

# Words of statements that the keyword table does not hold: they are read
# before it.
EXTRA_KEYWORDS = ["new", "dim", "delete", "as", "on"]


def read_names(path):
    names = {"keyword": set(), "function": set(), "constant": set(), "object": set(), "type": set()}
    with open(path, encoding="utf-8") as f:
        for line in f:
            kind, name = line.rstrip("\n").split("\t")
            if kind == "statement":
                kind = "keyword"
            if kind in names and re.fullmatch(r"\w+", name):
                names[kind].add(name)
    names["keyword"].update(EXTRA_KEYWORDS)
    return {kind: sorted(values, key=str.lower) for kind, values in names.items()}


def alternation(words):
    # Longest first, so that no word stops at a shorter one's end.
    return "|".join(re.escape(w) for w in sorted(words, key=lambda w: (-len(w), w.lower())))


def textmate(names):
    objects = sorted(set(names["object"]) | set(names["type"]), key=str.lower)
    patterns = [
        {"name": "string.quoted.double.tallow", "match": r'"[^"\n]*"?'},
        {"name": "comment.line.apostrophe.tallow", "match": r"'.*$"},
        {"name": "comment.line.rem.tallow", "match": r"(?i)\brem\b.*$"},
        {"name": "entity.name.label.tallow", "match": r"^\s*[A-Za-z_]\w*:"},
        {"name": "support.constant.tallow", "match": r"(?i)\b(?:%s)@" % alternation(names["constant"])},
        {"name": "constant.other.tallow", "match": r"\b[A-Za-z_]\w*@"},
        {"name": "variable.other.string.tallow", "match": r"\b[A-Za-z_]\w*\$"},
        {"name": "variable.other.number.tallow", "match": r"\b[A-Za-z_]\w*#"},
        {"name": "support.class.tallow", "match": r"(?i)\b(?:%s)\b(?=\s*\.|\s*$|\s+[\"\w])" % alternation(objects)},
        {"name": "support.function.tallow", "match": r"(?i)\b(?:%s)(?=\s*\()" % alternation(names["function"])},
        {"name": "keyword.control.tallow", "match": r"(?i)\b(?:%s)\b" % alternation(names["keyword"])},
        {"name": "constant.numeric.tallow", "match": r"\b\d+(?:\.\d+)?\b"},
        {"name": "keyword.operator.tallow", "match": r"<>|<=|>=|[-+*/%^|&!=<>]"},
    ]
    return {
        "name": "Tallow",
        "scopeName": "source.tallow",
        "fileTypes": ["tal"],
        "patterns": patterns,
    }


def vim(names):
    lines = [
        '" Vim syntax file for Tallow scripts (*.tal), generated from the engine\'s names.',
        'if exists("b:current_syntax")',
        "  finish",
        "endif",
        "syn case ignore",
    ]
    words = [w for w in names["keyword"] if w.lower() != "rem"]
    for i in range(0, len(words), 8):
        lines.append("syn keyword tallowKeyword " + " ".join(words[i:i + 8]))
    for i in range(0, len(names["function"]), 8):
        lines.append("syn match tallowFunction \"\\<\\(%s\\)\\ze\\s*(\"" % "\\|".join(names["function"][i:i + 8]))
    objects = sorted(set(names["object"]) | set(names["type"]), key=str.lower)
    lines.append("syn keyword tallowObject " + " ".join(objects))
    for i in range(0, len(names["constant"]), 8):
        lines.append("syn match tallowConstant \"\\<\\(%s\\)@\"" % "\\|".join(names["constant"][i:i + 8]))
    lines += [
        'syn match tallowStringVar "\\<\\h\\w*\\$"',
        'syn match tallowNumberVar "\\<\\h\\w*#"',
        'syn match tallowNumber "\\<\\d\\+\\(\\.\\d\\+\\)\\=\\>"',
        'syn match tallowLabel "^\\s*\\h\\w*:"',
        'syn region tallowString start=+"+ end=+"+ oneline',
        'syn match tallowComment "\'.*$"',
        'syn match tallowComment "\\<rem\\>.*$"',
        "hi def link tallowKeyword Statement",
        "hi def link tallowFunction Function",
        "hi def link tallowObject Type",
        "hi def link tallowConstant Constant",
        "hi def link tallowStringVar Identifier",
        "hi def link tallowNumberVar Identifier",
        "hi def link tallowNumber Number",
        "hi def link tallowLabel Label",
        "hi def link tallowString String",
        "hi def link tallowComment Comment",
        'let b:current_syntax = "tallow"',
    ]
    return "\n".join(lines) + "\n"


def main():
    names = read_names(sys.argv[1])
    out = sys.argv[2]
    os.makedirs(out, exist_ok=True)
    with open(os.path.join(out, "tallow.tmLanguage.json"), "w", encoding="utf-8") as f:
        json.dump(textmate(names), f, indent=2)
        f.write("\n")
    with open(os.path.join(out, "tallow.vim"), "w", encoding="utf-8") as f:
        f.write(vim(names))
    return 0


if __name__ == "__main__":
    sys.exit(main())
