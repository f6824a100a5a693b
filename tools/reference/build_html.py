#!/usr/bin/env python3
"""Builds the HTML reference, and the guide beside it, from the Markdown pages.

  build_html.py REFERENCE_DIR OUTPUT_DIR [GUIDE_DIR GUIDE_OUTPUT_DIR]

Every page becomes the same path with .html; every entry heading gets a
stable anchor (a member's anchor is the part after its owner's name, so
objects/clock.html#now). OUTPUT_DIR also gets index.html (every entry with
its one-line description), search.html with search.js and search-index.js (a
prebuilt index the search page reads with a script tag, so it works from the
file system). The index holds each entry's description and the phrases that
REFERENCE_DIR/synonyms.txt gives it, and the guide's chapters and sections.
OUTPUT_DIR also gets names.txt (every entry and page by name, for the
runner's --doc).
Only the Markdown the pages use is understood: headings, paragraphs, lists,
tables, fenced blocks, inline code, emphasis and links.
"""
import html
import json
import os
import re
import shutil
import sys

import reference_pages

HERE = os.path.dirname(os.path.abspath(__file__))

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


def render(page, title_of, nav, suffix):
    name = os.path.splitext(os.path.basename(page.rel))[0]
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
            label = {"output": "Output", "stderr": "Standard error", "sh": "Commands"}.get(cls)
            if cls == "file":
                label = "File <code>%s</code>" % html.escape(fence.group(2).strip())
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
        elif line.startswith("- ") or re.match(r"^\d+\. ", line):
            flush()
            items = []
            tag = "ul" if line.startswith("- ") else "ol"
            item = re.compile(r"^- " if tag == "ul" else r"^\d+\. ")
            while i < len(lines) and (item.match(lines[i]) or lines[i].startswith("  ")):
                if item.match(lines[i]):
                    items.append(item.sub("", lines[i]))
                else:
                    items[-1] += " " + lines[i].strip()
                i += 1
            body.append("<%s>%s</%s>" % (tag, "".join("<li>%s</li>" % inline(t) for t in items), tag))
            continue
        elif not line.strip():
            flush()
        elif line.startswith("<!--"):
            flush()  # a note for the page's writers, not its readers
        else:
            paragraph.append(line.strip())
        i += 1
    flush()
    return page_html(title_of(page), suffix, nav, "\n".join(body))


def title_of(page):
    for _, text, _ in page.headings:
        return re.sub(r"`", "", text)
    return page.rel


SUMMARY_LENGTH = 110  # characters of a one-line description; longer first sentences are cut at a word


def first_sentence(paragraph):
    sentence = re.split(r"(?<=[.!?])\s+(?=[A-Z`(\"])", " ".join(paragraph))[0]
    sentence = re.sub(r"\[([^\]]+)\]\([^)]*\)", r"\1", sentence)
    return re.sub(r"\*\*|`", "", sentence).rstrip(":")


def summary(page, line):
    """The first sentence of the prose after a heading line: the entry's
    one-line description in the index and the search list. An object page's
    "A built-in object." or "A creatable type." is followed by what it is for."""
    in_block = False
    paragraphs = [[]]
    for text in page.lines[line:]:
        text = text.strip()
        if text.startswith("```"):
            in_block = not in_block
        elif in_block:
            continue
        elif text.startswith("#"):
            break
        elif text and text[0] not in "|-<" and not text.startswith("!["):
            paragraphs[-1].append(text)
            continue
        if paragraphs[-1]:
            if len(paragraphs) == 2:
                break
            paragraphs.append([])
    paragraphs = [p for p in paragraphs if p]
    if not paragraphs:
        return ""
    sentence = first_sentence(paragraphs[0])
    if sentence in ("A built-in object.", "A creatable type.", "A built-in object and a creatable type.") and \
            len(paragraphs) > 1:
        sentence = "%s (%s)" % (first_sentence(paragraphs[1]).rstrip("."), sentence[2:-1])
    if len(sentence) > SUMMARY_LENGTH:
        sentence = sentence[:SUMMARY_LENGTH - 1].rsplit(" ", 1)[0].rstrip(",;") + "\u2026"
    return sentence


def load_synonyms(root, known):
    """{entry name or page path (lower case): "phrase|phrase"} from
    synonyms.txt beside the pages: "KEY: phrase, phrase". A key that names
    neither an entry nor a page fails the build, so the list keeps in step."""
    path = os.path.join(root, "synonyms.txt")
    result = {}
    if not os.path.exists(path):
        return result
    with open(path, encoding="utf-8") as f:
        for number, text in enumerate(f, 1):
            text = text.strip()
            if not text or text.startswith("#"):
                continue
            key, _, phrases = text.partition(":")
            key = key.strip().lower()
            if key not in known:
                raise SystemExit("%s:%d: `%s` is neither an entry nor a page" % (path, number, key))
            words = [w.strip().lower() for w in phrases.split(",") if w.strip()]
            result[key] = "|".join(filter(None, [result.get(key, "")] + words))
    return result


def page_html(title, suffix, nav, body):
    return ("<!DOCTYPE html>\n<html lang=\"en\"><head><meta charset=\"utf-8\"><title>%s - %s</title>"
            "<style>%s</style></head><body>%s\n%s\n</body></html>\n" % (html.escape(title), suffix, STYLE, nav, body))


def write(path, text):
    os.makedirs(os.path.dirname(path), exist_ok=True)
    with open(path, "w", encoding="utf-8") as f:
        f.write(text)


def reference_nav(up, guide):
    links = ['<a href="%sindex.html">Index</a>' % up, '<a href="%ssearch.html">Search</a>' % up]
    if guide:
        links.append('<a href="%s%s/index.html">Guide</a>' % (up, guide))
    return "<nav>%s</nav>" % " | ".join(links)


def build_reference(pages, out, guide_rel, synonyms):
    """Writes the reference's pages and index.html; gives the search entries."""
    index = []
    sections = {}
    for page in pages:
        html_rel = page.rel[:-3] + ".html"
        up = "../" * page.rel.count("/")
        write(os.path.join(out, html_rel), render(page, title_of, reference_nav(up, guide_rel),
                                                  "Tallow reference"))
        folder = page.rel.split("/")[0] if "/" in page.rel else ""
        name = os.path.splitext(os.path.basename(page.rel))[0]
        entries = []
        for _, entry, tag, line in page.entries:
            entries.append({"name": entry, "kind": tag or folder.rstrip("s") or "page",
                            "url": "%s#%s" % (html_rel, entry_anchor(name, entry)), "text": summary(page, line),
                            "also": synonyms.get(entry.lower(), "")})
        if not page.entries:
            entries.append({"name": title_of(page), "kind": "language", "url": html_rel, "text": summary(page, 1),
                            "also": synonyms.get(page.rel.lower(), "")})
        index += entries
        sections.setdefault(folder, []).extend(entries)
    names = {"language": "The language", "statements": "Statements", "functions": "Functions",
             "objects": "Objects and types", "": "About"}
    parts = ["<h1>Tallow language reference</h1>",
             '<p>Every name with what it does; <a href="search.html">search</a> also finds names by what they '
             'do ("round", "csv", "sort numbers").</p>']
    for folder in ("", "language", "statements", "functions", "objects"):
        if folder not in sections:
            continue
        items = "".join('<li><a href="%s"><code>%s</code></a> %s</li>' % (
            html.escape(e["url"]), html.escape(e["name"]), html.escape(e["text"]))
            for e in sorted(sections[folder], key=lambda e: e["name"].lower()))
        parts.append('<h2 id="%s">%s</h2><ul class="index">%s</ul>' % (folder or "about", names[folder], items))
    write(os.path.join(out, "index.html"),
          page_html("Index", "Tallow reference", reference_nav("", guide_rel), "\n".join(parts)))
    return index


def build_guide(pages, out, reference_rel, synonyms):
    """Writes the guide's pages (index.md is its contents page); gives the
    search entries of its chapters and their sections, with URLs relative to
    the reference."""
    index = []
    for page in pages:
        html_rel = page.rel[:-3] + ".html"
        up = "../" * page.rel.count("/")
        nav = '<nav><a href="%sindex.html">Guide</a> | <a href="%s%s/index.html">Reference</a> | ' \
              '<a href="%s%s/search.html">Search</a></nav>' % (up, up, reference_rel, up, reference_rel)
        write(os.path.join(out, html_rel), render(page, title_of, nav, "Tallow guide"))
        if page.rel == "index.md":
            continue
        chapter = title_of(page)
        url = "%s/%s" % (os.path.relpath(out, os.path.join(out, reference_rel)).replace(os.sep, "/"), html_rel)
        index.append({"name": chapter, "kind": "guide", "url": url, "text": summary(page, 1),
                      "also": synonyms.get("guide/" + page.rel.lower(), "")})
        for level, text, line in page.headings:
            if level == 2:
                index.append({"name": re.sub(r"`", "", text), "kind": "guide", "url": "%s#%s" % (
                    url, reference_pages.anchor(text)), "text": ": ".join(filter(None, [chapter, summary(page, line)])),
                              "also": ""})
    return index


def write_names(out, index, pages):
    """names.txt, what `tallow --doc NAME` reads: one line per entry, its name
    and its page with the anchor, separated by a tab; then each page by the
    name of its file (language/errors.md as errors)."""
    lines = ["%s\t%s" % (e["name"], e["url"]) for e in index if e["kind"] != "language"]
    for page in pages:
        lines.append("%s\t%s" % (os.path.splitext(os.path.basename(page.rel))[0], page.rel[:-3] + ".html"))
    write(os.path.join(out, "names.txt"), "\n".join(lines) + "\n")


def main():
    """build_html.py REFERENCE_DIR OUTPUT_DIR [GUIDE_DIR GUIDE_OUTPUT_DIR]"""
    root, out = sys.argv[1], sys.argv[2]
    guide = sys.argv[3:5]
    pages = reference_pages.load(root)
    guide_pages = reference_pages.load(guide[0]) if guide else []
    known = ({p.rel.lower() for p in pages} | {e[1].lower() for p in pages for e in p.entries}
             | {"guide/" + p.rel.lower() for p in guide_pages})
    synonyms = load_synonyms(root, known)
    guide_rel = os.path.relpath(guide[1], out).replace(os.sep, "/") if guide else ""
    index = build_reference(pages, out, guide_rel, synonyms)
    write_names(out, index, pages)
    if guide:
        index += build_guide(guide_pages, guide[1], os.path.relpath(out, guide[1]).replace(os.sep, "/"), synonyms)
    index.sort(key=lambda e: e["name"].lower())
    write(os.path.join(out, "search-index.js"), "var TALLOW_INDEX = %s;\n" % json.dumps(index, indent=0,
                                                                                        sort_keys=True))
    shutil.copyfile(os.path.join(HERE, "search.js"), os.path.join(out, "search.js"))
    write(os.path.join(out, "search.html"), SEARCH % (STYLE, reference_nav("", guide_rel)))
    return 0


SEARCH = """<!DOCTYPE html>
<html lang="en"><head><meta charset="utf-8"><title>Search - Tallow reference</title><style>%s</style>
<script src="search-index.js"></script><script src="search.js"></script></head><body>%s
<h1>Search</h1>
<input id="q" type="search" placeholder="a name, or what it does: round, csv, sort numbers" autofocus size="40">
<ul id="hits"></ul>
<script>
function show() {
  var hits = document.getElementById("hits");
  hits.innerHTML = "";
  tallowSearch(TALLOW_INDEX, document.getElementById("q").value).slice(0, 100).forEach(function (e) {
    var li = document.createElement("li"), a = document.createElement("a");
    a.href = e.url; a.textContent = e.name; li.appendChild(a);
    li.appendChild(document.createTextNode(" (" + e.kind + ") " + e.text));
    hits.appendChild(li);
  });
}
document.getElementById("q").addEventListener("input", show);
var given = /[?&]q=([^&]*)/.exec(location.search);
if (given) { document.getElementById("q").value = decodeURIComponent(given[1].replace(/\\+/g, " ")); }
show();
</script>
</body></html>
"""

if __name__ == "__main__":
    sys.exit(main())
