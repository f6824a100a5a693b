#!/usr/bin/env python3
"""Checks that the built reference finds things: every entry of the search
index has a one-line description, and each query of the table finds its
entry among the first hits of the search page's own code (search.js, run
by Node).

  check_search.py HTML_DIR QUERY_TABLE

The table has one query a line, "QUERY -> ENTRY" (# starts a comment).
Exits 77 (skipped) after the description check when Node is missing.
"""
import json
import os
import shutil
import subprocess
import sys

SKIP = 77
TOP = 5  # how far down the hits the expected entry may be

DRIVER = """
var fs = require("fs"), vm = require("vm");
var context = {};
vm.runInNewContext(fs.readFileSync(process.argv[1], "utf8") + "\\nthis.TALLOW_INDEX = TALLOW_INDEX;", context);
var search = require(process.argv[2]).tallowSearch;
var queries = JSON.parse(fs.readFileSync(0, "utf8"));
console.log(JSON.stringify(queries.map(function (q) {
  return search(context.TALLOW_INDEX, q).slice(0, %d).map(function (e) { return e.name; });
})));
""" % TOP


def load_index(root):
    with open(os.path.join(root, "search-index.js"), encoding="utf-8") as f:
        return json.loads(f.read().split("=", 1)[1].strip().rstrip(";"))


def load_queries(path):
    queries = []
    with open(path, encoding="utf-8") as f:
        for number, line in enumerate(f, 1):
            line = line.strip()
            if line and not line.startswith("#"):
                query, _, entry = line.partition("->")
                queries.append((number, query.strip(), entry.strip()))
    return queries


def main():
    root, table = sys.argv[1], sys.argv[2]
    index = load_index(root)
    failures = 0
    for entry in index:
        if not entry["text"] or "\n" in entry["text"]:
            print("`%s` (%s) has no one-line description" % (entry["name"], entry["kind"]))
            failures += 1
    node = shutil.which("node") or shutil.which("nodejs")
    if not node:
        print("%d entries checked; Node is not installed, so the query table was not run" % len(index))
        return 1 if failures else SKIP
    queries = load_queries(table)
    proc = subprocess.run([node, "-e", DRIVER, os.path.join(root, "search-index.js"),
                           os.path.abspath(os.path.join(root, "search.js"))],
                          input=json.dumps([q for _, q, _ in queries]), capture_output=True, text=True, timeout=60)
    if proc.returncode != 0:
        print("the search failed to run: " + proc.stderr)
        return 1
    for (number, query, entry), hits in zip(queries, json.loads(proc.stdout)):
        if entry not in hits:
            print("%s:%d: \"%s\" does not find `%s` among its first %d hits: %s" % (
                os.path.basename(table), number, query, entry, TOP, ", ".join(hits) or "nothing"))
            failures += 1
    print("%d entries, %d queries, %d problems" % (len(index), len(queries), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
