"""Reads the reference pages in docs/reference: their entries and examples.

An entry is a heading whose whole text is one code span, with an optional
tag in parentheses: "## `clock.now`" or "## `clipboard.Text` (property)".
Entries are the names the completeness check matches against the engine.
An example is a ```tallow block followed by an ```output block (the
standard output, exactly, with no final line feed added), optionally
followed by a ```stderr block (the standard error).

The guide's pages use three more forms: "```file NAME" blocks, written into
the folder of the page's next example before it runs; "```sh" blocks
followed by an output block, shell commands whose standard output and error
together must print it; and words after "tallow" or "sh" that limit where an
example runs ("linux": only natively on Linux; "requires=PROG,...": only
where each program is on PATH, skipped with that reason otherwise).
"""
import os
import re

ENTRY = re.compile(r"^(#{1,4}) `([^`]+)`(?: \(([a-z ]+)\))?\s*$")
FENCE = re.compile(r"^```(\w*)((?: +\S+)*)\s*$")


class Example:
    """A runnable example: its language ("tallow" or "sh"), text, expected
    output and standard error, first line, the words after its language and
    the files written beside it ({name: text})."""

    def __init__(self, lang, script, out, err, line, words, files):
        self.lang, self.script, self.out, self.err, self.line = lang, script, out, err, line
        self.words, self.files = words, files

    def requires(self):
        """The programs the example needs on PATH."""
        for word in self.words:
            if word.startswith("requires="):
                return [p for p in word[len("requires="):].split(",") if p]
        return []


class Page:
    def __init__(self, path, rel):
        self.path = path
        self.rel = rel  # relative to docs/reference, with / separators
        with open(path, encoding="utf-8") as f:
            self.lines = f.read().split("\n")
        self.entries = []  # (level, name, tag, line number)
        self.blocks = []  # (language, text, line number)
        self.words = []  # the words after each block's language, in step with blocks
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
                self.words.append(fence.group(2).split())
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
        """(script, expected stdout, expected stderr, line) for each tallow example."""
        return [(e.script, e.out, e.err, e.line) for e in self.runnable() if e.lang == "tallow"]

    def runnable(self):
        """Every example of the page (tallow and sh), each with the files
        given before it since the previous example."""
        result = []
        blocks = self.blocks
        files = {}
        for k, (lang, text, line) in enumerate(blocks):
            if lang == "file":
                if len(self.words[k]) != 1:
                    raise ValueError("%s:%d: a file block names one file" % (self.rel, line))
                files[self.words[k][0]] = text + "\n"
                continue
            if lang not in ("tallow", "sh"):
                continue
            if k + 1 >= len(blocks) or blocks[k + 1][0] != "output":
                raise ValueError("%s:%d: a %s example without an output block" % (self.rel, line, lang))
            out = blocks[k + 1][1]
            err = ""
            if lang == "tallow" and k + 2 < len(blocks) and blocks[k + 2][0] == "stderr":
                err = blocks[k + 2][1] + "\n"
            result.append(Example(lang, text + "\n", out, err, line, self.words[k], files))
            files = {}
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
