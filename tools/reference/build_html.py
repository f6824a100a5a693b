#!/usr/bin/env python3
"""Builds the HTML reference from the Markdown pages.

  build_html.py REFERENCE_DIR OUTPUT_DIR

Every page becomes the same path with .html; every entry heading gets a
stable anchor (a member's anchor is the part after its owner's name, so
objects/clock.html#now). OUTPUT_DIR also gets index.html (every page and
entry), search.html and search-index.js (a prebuilt index the search page
reads with a script tag, so it works from the file system) and names.txt
(every entry and page by name, for the runner's --doc). Only the
Markdown the pages use is understood: headings, paragraphs, lists, tables,
fenced blocks, inline code, emphasis and links.
"""
import html
import json
import os
import re
import sys

import reference_pages

STYLE = """body{font-family:sans-serif;max-width:50em;margin:1em auto;padding:0 1em;line-height:1.4}
pre{background:#f4f4f4;padding:.5em;overflow-x:auto}pre.output{background:#eef6ee}
code{background:#f4f4f4}table{border-collapse:collapse}td,th{border:1px solid #ccc;padding:.2em .5em}
nav{font-size:small;margin-bottom:1em}"""


def entry_anchor(page_name, name):
    """The anchor of an entry on a page: OWNER.MEMBER on the owner's page is #member."""
    if "." in name and name.split(".")[0].lower() == page_name.lower():
        name = name.split(".", 1)[1]
    return reference_pages.anchor(name)


def inline(text):
    """Inline Markdown: code spans, links, bold and italics."""
    parts = re.split(r"(`[^`]*`)", text)
    out = []
    for part in parts:
        if part.startswith("`") and part.endswith("`") and len(part) >= 2:
            out.append("<code>%s</code>" % html.escape(part[1:-1]))
            continue
        part = html.escape(part, quote=False)
        part = re.sub(r"\[([^\]]+)\]\(([^)\s]+)\)", lambda m: '<a href="%s">%s</a>' % (link_target(m.group(2)),
                                                                                     m.group(1)), part)
        part = re.sub(r"\*\*([^*]+)\*\*", r"<strong>\1</strong>", part)
        out.append(part)
    # Links whose text is a code span.
    joined = "".join(out)
    return re.sub(r"\[(<code>[^<]*</code>)\]\(([^)\s]+)\)",
                  lambda m: '<a href="%s">%s</a>' % (link_target(m.group(2)), m.group(1)), joined)


def link_target(target):
    path, _, fragment = target.partition("#")
    if path.endswith(".md"):
        path = path[:-3] + ".html"
    return html.escape(path + ("#" + fragment if fragment else ""))


def render(page, title_of):
    name = os.path.splitext(os.path.basename(page.rel))[0]
    depth = page.rel.count("/")
    up = "../" * depth
    body = []
    lines = page.lines
    i = 0
    paragraph = []

    def flush():
        if paragraph:
            body.append("<p>%s</p>" % inline(" ".join(paragraph)))
            paragraph.clear()

    while i < len(lines):
        line = lines[i]
        fence = reference_pages.FENCE.match(line)
        if fence:
            flush()
            block = []
            i += 1
            while i < len(lines) and lines[i].rstrip() != "```":
                block.append(lines[i])
                i += 1
            cls = fence.group(1) or "syntax"
            label = {"output": "Output", "stderr": "Standard error"}.get(cls)
            if label:
                body.append('<p class="label">%s:</p>' % label)
            body.append('<pre class="%s">%s</pre>' % (cls, html.escape("\n".join(block))))
            i += 1
            continue
        entry = reference_pages.ENTRY.match(line)
        heading = re.match(r"^(#{1,4}) (.+?)\s*$", line)
        if heading:
            flush()
            level = len(heading.group(1))
            if entry:
                anchor = entry_anchor(name, entry.group(2))
                text = "<code>%s</code>%s" % (html.escape(entry.group(2)),
                                              " (%s)" % entry.group(3) if entry.group(3) else "")
            else:
                anchor = reference_pages.anchor(heading.group(2))
                text = inline(heading.group(2))
            body.append('<h%d id="%s">%s</h%d>' % (level, anchor, text, level))
        elif line.startswith("|"):
            flush()
            rows = []
            while i < len(lines) and lines[i].startswith("|"):
                cells = [c.strip() for c in re.split(r"(?<!\\)\|", lines[i].strip())[1:-1]]
                if not all(re.fullmatch(r":?-+:?", c) for c in cells):
                    rows.append(cells)
                i += 1
            table = ["<table>"]
            for k, cells in enumerate(rows):
                tag = "th" if k == 0 else "td"
                table.append("<tr>%s</tr>" % "".join("<%s>%s</%s>" % (tag, inline(c.replace("\\|", "|")), tag)
                                                     for c in cells))
            table.append("</table>")
            body.append("\n".join(table))
            continue
        elif line.startswith("- "):
            flush()
            items = []
            while i < len(lines) and (lines[i].startswith("- ") or lines[i].startswith("  ")):
                if lines[i].startswith("- "):
                    items.append(lines[i][2:])
                else:
                    items[-1] += " " + lines[i].strip()
                i += 1
            body.append("<ul>%s</ul>" % "".join("<li>%s</li>" % inline(t) for t in items))
            continue
        elif not line.strip():
            flush()
        else:
            paragraph.append(line.strip())
        i += 1
    flush()
    title = title_of(page)
    nav = '<nav><a href="%sindex.html">Index</a> | <a href="%ssearch.html">Search</a></nav>' % (up, up)
    return ("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>%s - Tallow reference</title>"
            "<style>%s</style></head><body>%s\n%s\n</body></html>\n" % (html.escape(title), STYLE, nav,
                                                                      "\n".join(body)))


def title_of(page):
    for _, text, _ in page.headings:
        return re.sub(r"`", "", text)
    return page.rel


def summary(page, line):
    """The first sentence of prose after a heading line (for the search list)."""
    in_block = False
    for text in page.lines[line:]:
        text = text.strip()
        if text.startswith("```"):
            in_block = not in_block
            continue
        if in_block:
            continue
        if text.startswith("#"):
            return ""
        if text and not text.startswith("|") and not text[0] in "-[":
            return re.sub(r"[`*]", "", text.split(". ")[0])[:100]
    return ""


def write_names(out, index, pages):
    """names.txt, what `tallow --doc NAME` reads: one line per entry, its name
    and its page with the anchor, separated by a tab; then each page by the
    name of its file (language/errors.md as errors)."""
    lines = ["%s\t%s" % (e["name"], e["url"]) for e in index if e["kind"] != "language"]
    for page in pages:
        lines.append("%s\t%s" % (os.path.splitext(os.path.basename(page.rel))[0], page.rel[:-3] + ".html"))
    with open(os.path.join(out, "names.txt"), "w", encoding="utf-8") as f:
        f.write("\n".join(lines) + "\n")


def main():
    root, out = sys.argv[1], sys.argv[2]
    pages = reference_pages.load(root)
    index = []
    sections = {}
    for page in pages:
        html_rel = page.rel[:-3] + ".html"
        target = os.path.join(out, html_rel)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        with open(target, "w", encoding="utf-8") as f:
            f.write(render(page, title_of))
        folder = page.rel.split("/")[0] if "/" in page.rel else ""
        sections.setdefault(folder, []).append((title_of(page), html_rel))
        name = os.path.splitext(os.path.basename(page.rel))[0]
        for _, entry, tag, line in page.entries:
            index.append({"name": entry, "kind": tag or folder.rstrip("s") or "page",
                          "url": "%s#%s" % (html_rel, entry_anchor(name, entry)), "text": summary(page, line)})
        if not page.entries:
            index.append({"name": title_of(page), "kind": "language", "url": html_rel, "text": ""})
    index.sort(key=lambda e: e["name"].lower())
    write_names(out, index, pages)
    with open(os.path.join(out, "search-index.js"), "w", encoding="utf-8") as f:
        f.write("var TALLOW_INDEX = %s;\n" % json.dumps(index, indent=0, sort_keys=True))
    names = {"language": "The language", "statements": "Statements", "functions": "Functions",
             "objects": "Objects and types", "": "About"}
    parts = ["<h1>Tallow language reference</h1>"]
    for folder in ("", "language", "statements", "functions", "objects"):
        if folder not in sections:
            continue
        parts.append('<h2 id="%s">%s</h2><p>%s</p>' % (folder or "about", names[folder], " | ".join(
            '<a href="%s">%s</a>' % (html.escape(url), html.escape(title)) for title, url in sorted(
                sections[folder], key=lambda s: s[0].lower()))))
    nav = '<nav><a href="index.html">Index</a> | <a href="search.html">Search</a></nav>'
    with open(os.path.join(out, "index.html"), "w", encoding="utf-8") as f:
        f.write("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>Tallow reference</title>"
                "<style>%s</style></head><body>%s\n%s\n</body></html>\n" % (STYLE, nav, "\n".join(parts)))
    with open(os.path.join(out, "search.html"), "w", encoding="utf-8") as f:
        f.write(SEARCH % (STYLE, nav))
    return 0


SEARCH = """<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Search - Tallow reference</title><style>%s</style>
<script src="search-index.js"></script></head><body>%s
<h1>Search</h1>
<input id="q" type="search" placeholder="a keyword, function, object or member" autofocus size="40">
<ul id="hits"></ul>
<script>
function show() {
  var q = document.getElementById("q").value.toLowerCase().trim(), hits = document.getElementById("hits");
  hits.innerHTML = "";
  if (!q) return;
  TALLOW_INDEX.filter(function (e) {
    return e.name.toLowerCase().indexOf(q) >= 0 || e.text.toLowerCase().indexOf(q) >= 0;
  }).sort(function (a, b) {
    return (a.name.toLowerCase().indexOf(q) !== 0) - (b.name.toLowerCase().indexOf(q) !== 0);
  }).slice(0, 100).forEach(function (e) {
    var li = document.createElement("li"), a = document.createElement("a");
    a.href = e.url; a.textContent = e.name; li.appendChild(a);
    li.appendChild(document.createTextNode(" (" + e.kind + ") " + e.text));
    hits.appendChild(li);
  });
}
document.getElementById("q").addEventListener("input", show);
var given = /[?&]q=([^&]*)/.exec(location.search);
if (given) { document.getElementById("q").value = decodeURIComponent(given[1]); }
show();
</script>
</body></html>
"""

if __name__ == "__main__":
    sys.exit(main())
