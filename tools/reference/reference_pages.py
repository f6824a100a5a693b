"""Reads the reference pages in docs/reference: their entries and examples.

An entry is a heading whose whole text is one code span, with an optional
tag in parentheses: "## `clock.now`" or "## `clipboard.Text` (property)".
Entries are the names the completeness check matches against the engine.
An example is a ```tallow block followed by an ```output block (the
standard output, exactly, with no final line feed added), optionally
followed by a ```stderr block (the standard error).
"""
import os
import re

ENTRY = re.compile(r"^(#{1,4}) `([^`]+)`(?: \(([a-z ]+)\))?\s*$")
FENCE = re.compile(r"^```(\w*)\s*$")


class Page:
    def __init__(self, path, rel):
        self.path = path
        self.rel = rel  # relative to docs/reference, with / separators
        with open(path, encoding="utf-8") as f:
            self.lines = f.read().split("\n")
        self.entries = []  # (level, name, tag, line number)
        self.blocks = []  # (language, text, line number)
        self.headings = []  # (level, text, line number)
        self._read()

    def _read(self):
        i = 0
        while i < len(self.lines):
            line = self.lines[i]
            fence = FENCE.match(line)
            if fence:
                start = i
                body = []
                i += 1
                while i < len(self.lines) and self.lines[i].rstrip() != "```":
                    body.append(self.lines[i])
                    i += 1
                self.blocks.append((fence.group(1), "\n".join(body), start + 1))
                i += 1
                continue
            m = ENTRY.match(line)
            if m:
                self.entries.append((len(m.group(1)), m.group(2), m.group(3) or "", i + 1))
            h = re.match(r"^(#{1,4}) (.+?)\s*$", line)
            if h:
                self.headings.append((len(h.group(1)), h.group(2), i + 1))
            i += 1

    def examples(self):
        """(script, expected stdout, expected stderr, line) for each example."""
        result = []
        blocks = self.blocks
        for k, (lang, text, line) in enumerate(blocks):
            if lang != "tallow":
                continue
            if k + 1 >= len(blocks) or blocks[k + 1][0] != "output":
                raise ValueError("%s:%d: a tallow example without an output block" % (self.rel, line))
            out = blocks[k + 1][1]
            err = ""
            if k + 2 < len(blocks) and blocks[k + 2][0] == "stderr":
                err = blocks[k + 2][1] + "\n"
            result.append((text + "\n", out, err, line))
        return result


def anchor(name):
    """The stable anchor of an entry name: lower case, dots and letters kept."""
    a = re.sub(r"[^a-z0-9.]+", "-", name.lower()).strip("-")
    return a or "apostrophe"


def load(root):
    pages = []
    for folder, _, files in os.walk(root):
        for name in sorted(files):
            if name.endswith(".md"):
                path = os.path.join(folder, name)
                rel = os.path.relpath(path, root).replace(os.sep, "/")
                pages.append(Page(path, rel))
    pages.sort(key=lambda p: p.rel)
    return pages
