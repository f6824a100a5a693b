#!/usr/bin/env python3
"""Writes the reference's entries as a C++ table for the language server's
hover and signature help: each entry's name, its forms (the plain code block
after its heading) and its one-line description (the first sentence of its
first paragraph; for an object or type, of the paragraph after "A built-in
object." or "A creatable type.").

    reference_entries.py REFERENCE_DIR OUTPUT.inc
"""
import os
import re
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "tools", "reference"))
import reference_pages  # noqa: E402

KIND_LINES = ("A built-in object.", "A creatable type.")


def first_sentence(paragraph):
    text = re.sub(r"\s+", " ", paragraph).strip()
    text = re.sub(r"\[([^\]]+)\]\([^)]*\)", r"\1", text)
    m = re.match(r"(.+?[.!?])(\s|$)", text)
    return m.group(1) if m else text


def entry_texts(page, line):
    """The forms and description of the entry whose heading is on line (from 1)."""
    lines = page.lines
    i = line
    forms = []
    paragraphs = []
    current = []
    while i < len(lines):
        text = lines[i]
        if text.startswith("#"):
            break
        if text.startswith("```"):
            if current:
                paragraphs.append(" ".join(current))
                current = []
            lang = text[3:].strip()
            i += 1
            body = []
            while i < len(lines) and lines[i].rstrip() != "```":
                body.append(lines[i])
                i += 1
            if lang == "" and not forms and not paragraphs:
                forms = [b.rstrip() for b in body if b.strip()]
            i += 1
            if len(paragraphs) >= 2:
                break
            continue
        if text.strip():
            current.append(text.strip())
        elif current:
            paragraphs.append(" ".join(current))
            current = []
            if len(paragraphs) >= 2:
                break
        i += 1
    if current:
        paragraphs.append(" ".join(current))
    paragraphs = [p for p in paragraphs if not p.startswith("Errors:")]
    summary = ""
    if paragraphs:
        summary = paragraphs[0]
        if summary in KIND_LINES and len(paragraphs) > 1:
            summary = summary + " " + first_sentence(paragraphs[1])
        else:
            summary = first_sentence(summary)
    return "\n".join(forms), summary


def c_string(text):
    return '"' + text.replace("\\", "\\\\").replace('"', '\\"').replace("\n", "\\n") + '"'


def main():
    root, output = sys.argv[1], sys.argv[2]
    rows = {}
    for page in reference_pages.load(root):
        if page.rel.startswith("language/"):
            continue
        for _, name, _, line in page.entries:
            forms, summary = entry_texts(page, line)
            rows.setdefault(name.lower(), (forms, summary))
    with open(output, "w", encoding="utf-8") as f:
        f.write("// Written by lsp/reference_entries.py from docs/reference; do not edit.\n")
        for name in sorted(rows):
            forms, summary = rows[name]
            f.write("{%s, %s, %s},\n" % (c_string(name), c_string(forms), c_string(summary)))
    return 0


if __name__ == "__main__":
    sys.exit(main())
