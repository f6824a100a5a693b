#!/usr/bin/env python3
"""Fails when a name the engine registers has no reference entry, or an entry
names something the engine does not have.

  check_names.py NAMES_TOOL REFERENCE_DIR

NAMES_TOOL (tallow_names) prints "KIND<TAB>NAME" lines. Each keyword,
statement, function, constant, object and type needs an entry of its name,
each member one named OWNER.MEMBER. Entries tagged (property) are exempt from
the second direction: properties are answered in code and not listed.
"""
import subprocess
import sys

import reference_pages


def main():
    tool, root = sys.argv[1], sys.argv[2]
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
    failures = 0
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
