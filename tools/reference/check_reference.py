#!/usr/bin/env python3
"""Fails when a name the engine registers has no reference entry, when an
entry names something the engine does not have, or when a page quotes an
error message that the engine does not raise.

  check_reference.py NAMES_TOOL REFERENCE_DIR SOURCE_DIR

NAMES_TOOL (tallow_names) prints "KIND<TAB>NAME" lines. Each keyword,
statement, function, constant, object and type needs an entry of its name,
each member one named OWNER.MEMBER. Entries tagged (property) are exempt from
the second direction: properties are answered in code and not listed.

Every entry needs a runnable example too: a ```tallow block in its own section,
or an example on its page that uses the name (a member as ".member", any other
name as a word). The few entries whose example cannot run the same everywhere
are listed, each with its reason, in REFERENCE_DIR/no-example.txt ("name: why"
lines, # starts a comment; "type.*" lists a type and all its members). A listed
name that has an example, or a line that lists no entry without one, is a
fault as well, so the list stays short and current.
"""
import glob
import os
import re
import subprocess
import sys

import reference_pages


MESSAGE = re.compile(r'constexpr const char k\w+\[\] = "((?:[^"\\]|\\.)*)";')
# A paragraph (or table row) that lists errors: its quoted texts are messages.
ERRORS = re.compile(r"(?:Errors(?: of `new`)?:|raises|Writing raises)(.*?)(?:\n\n|\n *- |$)", re.S)


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


EXCEPTIONS = "no-example.txt"


def load_exceptions(root):
    """{lower-case name: (original name, line number)} of the exceptions file."""
    result = {}
    path = os.path.join(root, EXCEPTIONS)
    if not os.path.exists(path):
        return result, 0
    failures = 0
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if not line or line.startswith("#"):
                continue
            name, _, reason = line.partition(":")
            if not reason.strip():
                print("%s:%d: `%s` is listed without a reason" % (EXCEPTIONS, number, name))
                failures += 1
            result[name.strip().lower()] = (name.strip(), number)
    return result, failures


def uses(script, name):
    if "." in name:
        pattern = r"\." + re.escape(name.rsplit(".", 1)[1]) + r"(?!\w)"
    else:
        pattern = r"(?<![\w.])" + re.escape(name) + r"(?!\w)"
    return re.search(pattern, script, re.I) is not None


def check_examples(pages, root):
    """Lists every entry without an example that is not an exception."""
    exceptions, failures = load_exceptions(root)
    used = set()
    for page in pages:
        scripts = [(line, text) for lang, text, line in page.blocks if lang == "tallow"]
        for k, (_, name, _, line) in enumerate(page.entries):
            end = page.entries[k + 1][3] if k + 1 < len(page.entries) else len(page.lines) + 1
            key = name.lower()
            has = any(line < at < end for at, _ in scripts) or any(uses(text, name) for _, text in scripts)
            if has and key in exceptions:
                print("%s:%d: `%s` has an example but is listed" % (EXCEPTIONS, exceptions[key][1], name))
                used.add(key)
                failures += 1
            elif not has:
                owner = key.split(".")[0] + ".*"
                listed = key if key in exceptions else owner if owner in exceptions else None
                if listed:
                    used.add(listed)
                else:
                    print("%s:%d: `%s` has no example" % (page.rel, line, name))
                    failures += 1
    for key, (name, number) in sorted(exceptions.items()):
        if key not in used:
            print("%s:%d: `%s` lists no entry without an example" % (EXCEPTIONS, number, name))
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
    failures += check_examples(reference_pages.load(root), root)
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
