#!/usr/bin/env python3
"""Checks the built HTML reference and guide: every internal link reaches a
page that exists and, where it names one, an anchor on that page; every
entry of a search index does too.

  check_links.py HTML_DIR
"""
import json
import os
import re
import sys

HREF = re.compile(r'(?:href|src)="([^"]*)"')
ID = re.compile(r'id="([^"]*)"')


def main():
    root = sys.argv[1]
    ids = {}
    links = []
    indexes = []
    for folder, _, files in os.walk(root):
        for name in files:
            if name == "search-index.js":
                indexes.append(folder)
            if not name.endswith(".html"):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding="utf-8") as f:
                text = f.read()
            ids[os.path.normpath(path)] = set(ID.findall(text))
            links += [(path, href) for href in HREF.findall(text)]
    for folder in indexes:
        with open(os.path.join(folder, "search-index.js"), encoding="utf-8") as f:
            index = json.loads(f.read().split("=", 1)[1].strip().rstrip(";"))
        links += [(os.path.join(folder, "search.html"), entry["url"]) for entry in index]
    failures = 0
    for source, href in links:
        if re.match(r"^[a-z]+:", href):
            print("%s: a link outside the reference: %s" % (source, href))
            failures += 1
            continue
        path, _, fragment = href.partition("#")
        target = os.path.normpath(os.path.join(os.path.dirname(source), path)) if path else os.path.normpath(source)
        if not os.path.exists(target):
            print("%s: %s does not exist" % (source, href))
            failures += 1
        elif fragment and fragment not in ids.get(target, set()):
            print("%s: %s has no anchor #%s" % (source, path or "the page", fragment))
            failures += 1
    print("%d pages, %d links, %d broken" % (len(ids), len(links), failures))
    return 1 if failures or not ids or not indexes else 0


if __name__ == "__main__":
    sys.exit(main())
