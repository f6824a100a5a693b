#!/usr/bin/env python3
"""Fails when a name the engine registers has no reference entry, when an
entry names something the engine does not have, or when a page quotes an
error message that the engine does not raise.

  check_reference.py NAMES_TOOL REFERENCE_DIR SOURCE_DIR

NAMES_TOOL (tallow_names) prints "KIND<TAB>NAME" lines. Each keyword,
statement, function, constant, object and type needs an entry of its name,
each member one named OWNER.MEMBER. Entries tagged (property) are exempt from
the second direction: properties are answered in code and not listed.
"""
import glob
import os
import re
import subprocess
import sys

import reference_pages


MESSAGE = re.compile(r'constexpr const char k\w+\[\] = "((?:[^"\\]|\\.)*)";')
# A paragraph (or table row) that lists errors: its quoted texts are messages.
ERRORS = re.compile(r"(?:Errors(?: of `new`)?:|raises|Writing raises)(.*?)(?:\n\n|$)", re.S)


def engine_messages(source):
    """Every message text of the engine's message headers, unescaped."""
    messages = set()
    for folder in ("core", "expr", "objects", "api"):
        for path in glob.glob(os.path.join(source, folder, "*.h")):
            with open(path, encoding="utf-8") as f:
                for text in MESSAGE.findall(f.read()):
                    messages.add(text.replace("\\n", "\n").replace('\\"', '"').replace("\\\\", "\\"))
    return messages


def check_messages(pages, messages):
    failures = 0
    for page in pages:
        text = "\n".join(page.lines)
        for span in ERRORS.findall(text):
            for quoted in re.findall(r'"([^"]+)"', span.replace("\n", " ")):
                quoted = re.sub(r"\s+", " ", quoted)
                if quoted not in messages:
                    print('%s: "%s" is not a message of the engine' % (page.rel, quoted))
                    failures += 1
    return failures


def main():
    tool, root, source = sys.argv[1], sys.argv[2], sys.argv[3]
    listing = subprocess.run([tool], capture_output=True, text=True)
    if listing.returncode != 0:
        print("%s failed: %s" % (tool, listing.stderr))
        return 1
    engine = {}
    for line in listing.stdout.splitlines():
        kind, name = line.split("\t")
        engine.setdefault(name.lower(), kind)
    if len(engine) < 100:
        print("the engine listed only %d names" % len(engine))
        return 1
    documented = {}
    for page in reference_pages.load(root):
        for _, name, tag, line in page.entries:
            key = name.lower()
            where = "%s:%d" % (page.rel, line)
            if key in documented and tag != "property":
                print("%s: `%s` is documented twice (also %s)" % (where, name, documented[key][0]))
                return 1
            documented[key] = (where, tag)
    messages = engine_messages(source)
    if len(messages) < 100:
        print("found only %d messages under %s" % (len(messages), source))
        return 1
    failures = check_messages(reference_pages.load(root), messages)
    for name, kind in sorted(engine.items()):
        if name not in documented:
            print("no reference entry for the %s `%s`" % (kind, name))
            failures += 1
    for name, (where, tag) in sorted(documented.items()):
        if name not in engine and tag != "property":
            print("%s: `%s` is not a name of the engine" % (where, name))
            failures += 1
    print("%d names, %d entries, %d problems" % (len(engine), len(documented), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
