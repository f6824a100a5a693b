#!/usr/bin/env python3
"""Checks every #include of the source tree against the include rules that the
README's Architecture section states as a table: one row a folder, with the
folders (or single headers) its files may include besides their own folder.

A file falls under the row of the longest folder that holds it. A quoted
include must name a header in the file's own row folder or in one the row
allows; an angle include must be a standard header unless the row allows
"the system's headers". Every folder that holds code needs a row, and every
row a folder that holds code, so that the table keeps matching the tree.
Exits 1 and lists each fault when there is one."""

import argparse
import os
import re
import subprocess
import sys

SECTION = "## Architecture"
CODE_SUFFIXES = (".c", ".cpp", ".h")
ANY_FOLDER = "any folder"
SYSTEM_HEADERS = "the system's headers"
# The C headers a C++ or C file may take besides the suffix-less C++ ones.
STANDARD_C_HEADERS = {
    "assert.h", "ctype.h", "errno.h", "float.h", "inttypes.h", "limits.h", "locale.h", "math.h",
    "setjmp.h", "signal.h", "stdarg.h", "stdbool.h", "stddef.h", "stdint.h", "stdio.h", "stdlib.h",
    "string.h", "time.h", "wchar.h",
}
QUOTED = re.compile(r'^\s*#\s*include\s+"([^"]+)"')
ANGLED = re.compile(r"^\s*#\s*include\s+<([^>]+)>")
BACKTICKED = re.compile(r"`([^`]+)`")


class Rule:
    def __init__(self, folder, allowed, any_folder, system_headers):
        self.folder = folder
        self.allowed = allowed
        self.any_folder = any_folder
        self.system_headers = system_headers

    def allows(self, target):
        if self.any_folder or target.startswith(self.folder):
            return True
        return any(target == a or (a.endswith("/") and target.startswith(a)) for a in self.allowed)


def read_rules(readme):
    """The rows of the first table in the Architecture section whose header
    has a column "May include"."""
    with open(readme, encoding="utf-8") as f:
        lines = f.read().split("\n")
    try:
        start = lines.index(SECTION)
    except ValueError:
        sys.exit(f"{readme}: no section '{SECTION}'")
    rules, column = [], None
    for line in lines[start + 1:]:
        if line.startswith("## "):
            break
        if not line.startswith("|"):
            if column is not None and rules:
                break
            continue
        cells = [c.strip() for c in line.strip().strip("|").split("|")]
        if column is None:
            if "May include" in cells:
                column = cells.index("May include")
            continue
        if set(cells[0]) <= set("-: "):
            continue
        folders = BACKTICKED.findall(cells[0])
        allowed = BACKTICKED.findall(cells[column])
        for folder in folders:
            rules.append(Rule(folder, allowed, ANY_FOLDER in cells[column], SYSTEM_HEADERS in cells[column]))
    if not rules:
        sys.exit(f"{readme}: the Architecture section has no table with a column 'May include'")
    return rules


def source_files(root):
    try:
        out = subprocess.run(["git", "-C", root, "ls-files", "--cached", "--others", "--exclude-standard"],
                             check=True, capture_output=True, text=True).stdout.split("\n")
    except (OSError, subprocess.CalledProcessError):
        out = [os.path.relpath(os.path.join(d, f), root) for d, _, fs in os.walk(root) for f in fs]
    return sorted(p for p in out if p.endswith(CODE_SUFFIXES) and not p.startswith("build/")
                  and os.path.exists(os.path.join(root, p)))


def rule_of(rules, path):
    best = None
    for rule in rules:
        if path.startswith(rule.folder) and (best is None or len(rule.folder) > len(best.folder)):
            best = rule
    return best


def resolve(root, path, name):
    """The header a quoted include names, relative to the repository: beside
    the file, from the top, or in include/ (tallow.h); None when none exists."""
    for candidate in (os.path.join(os.path.dirname(path), name), name, os.path.join("include", name)):
        candidate = os.path.normpath(candidate)
        if os.path.isfile(os.path.join(root, candidate)):
            return candidate.replace(os.sep, "/")
    return None


def is_standard(header):
    return "." not in header or header in STANDARD_C_HEADERS


def check(root, rules):
    faults, used = [], set()
    for path in source_files(root):
        rule = rule_of(rules, path)
        if rule is None:
            faults.append(f"{path}: no row of the Architecture table holds its folder")
            continue
        used.add(rule.folder)
        with open(os.path.join(root, path), encoding="utf-8", errors="replace") as f:
            for number, line in enumerate(f, 1):
                quoted, angled = QUOTED.match(line), ANGLED.match(line)
                if quoted:
                    target = resolve(root, path, quoted.group(1))
                    if target is None:
                        # A header of another module's include path (GTK's
                        # module, a build's generated file) is no rule's concern.
                        continue
                    if not rule.allows(target):
                        faults.append(f"{path}:{number}: includes {target}, which {rule.folder} may not")
                elif angled and not rule.system_headers and not is_standard(angled.group(1)):
                    faults.append(f"{path}:{number}: includes <{angled.group(1)}>, a system header, "
                                  f"which {rule.folder} may not")
    for rule in rules:
        if rule.folder not in used:
            faults.append(f"README: the row {rule.folder} names a folder that holds no code")
    return faults


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("--root", required=True)
    args = parser.parse_args()
    faults = check(args.root, read_rules(os.path.join(args.root, "README.md")))
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
