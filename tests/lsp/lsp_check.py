#!/usr/bin/env python3
"""The language server's protocol tests: replays session files against
`tallow --language-server`, and checks that scripts known to be right get
no diagnostics.

    lsp_check.py --tallow TALLOW [--emulator WINE] SESSION.json...
    lsp_check.py --tallow TALLOW [--emulator WINE] --clean-scripts DIR --clean-reference DIR

A session is a list of steps, each one message and what must come back:
  {"send": METHOD, "params": {...}, "expect": PARTIAL}   a request and its response
  {"send": METHOD, "at": [DOC, LINE, CHAR], ...}         a request at a place (LINE from 1)
       "labels": {"include": [...], "exclude": [...]}    completion labels
       "hover": TEXT                                      hover text holds TEXT (null: no hover)
       "range": [LINE, CHAR, LINE, CHAR]                  the result's range (LINE from 1)
       "names": [...]                                     the result's symbol names, in order
  {"open": DOC, "text": [LINE...], "diagnostics": [[LINE, MESSAGE]...]}
  {"change": DOC, "text": [LINE...], "diagnostics": [...]}
  {"notify": METHOD, "params": {...}}
  {"raw": TEXT, "expect": PARTIAL}                      bytes sent as they are, the reply
  {"body": TEXT, "expect": PARTIAL}                     a body sent with its header, the reply
                                                         ("times": N: TEXT N times over)
                                                         (no "expect": no reply awaited)
  {"end": STATUS}                                        input closed; the server's status
PARTIAL matches a reply when each of its members matches the reply's member
of that name (dictionaries recursively, other values exactly)."""
import argparse
import glob
import json
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from lsp_client import Client, ServerGone, server_command  # noqa: E402


class Failure(Exception):
    pass


def matches(partial, actual):
    if isinstance(partial, dict):
        return isinstance(actual, dict) and all(k in actual and matches(v, actual[k]) for k, v in partial.items())
    return partial == actual


def uri_of(doc):
    return "file:///work/" + doc


def diagnostics_of(client, doc):
    params = client.diagnostics(uri_of(doc))
    return [[d["range"]["start"]["line"] + 1, d["message"]] for d in params["diagnostics"]]


def run_step(client, step):
    if "open" in step or "change" in step:
        doc = step.get("open") or step.get("change")
        text = "\n".join(step["text"]) + "\n"
        run_step.versions[doc] = run_step.versions.get(doc, 0) + 1
        version = run_step.versions[doc]
        if "open" in step:
            client.notify("textDocument/didOpen", {"textDocument": {
                "uri": uri_of(doc), "languageId": "tallow", "version": version, "text": text}})
        else:
            client.notify("textDocument/didChange", {"textDocument": {"uri": uri_of(doc), "version": version},
                                                     "contentChanges": [{"text": text}]})
        got = diagnostics_of(client, doc)
        if got != step["diagnostics"]:
            raise Failure("diagnostics of %s: expected %s, got %s" % (doc, step["diagnostics"], got))
        return
    if "notify" in step:
        client.notify(step["notify"], step.get("params"))
        return
    if "raw" in step or "body" in step:
        if "body" in step:
            body = step["body"].encode("utf-8") * step.get("times", 1)
            client.send_raw(b"Content-Length: %d\r\n\r\n" % len(body) + body)
        else:
            client.send_raw(step["raw"].encode("utf-8"))
        if "expect" not in step:
            return
        reply = client.receive()
        if not matches(step["expect"], reply):
            sent = step.get("raw", step.get("body"))
            raise Failure("reply to %r: expected %s, got %s" % (sent[:40], step["expect"], reply))
        return
    if "end" in step:
        status = client.close()
        if status != step["end"]:
            raise Failure("the server ended with %s, expected %s" % (status, step["end"]))
        return
    params = step.get("params")
    if "at" in step:
        doc, line, char = step["at"]
        params = {"textDocument": {"uri": uri_of(doc)}, "position": {"line": line - 1, "character": char}}
    reply = client.request(step["send"], params)
    if "expect" in step and not matches(step["expect"], reply):
        raise Failure("%s: expected %s, got %s" % (step["send"], step["expect"], reply))
    result = reply.get("result")
    if "labels" in step:
        labels = {item["label"] for item in result or []}
        missing = [x for x in step["labels"].get("include", []) if x not in labels]
        extra = [x for x in step["labels"].get("exclude", []) if x in labels]
        if missing or extra:
            raise Failure("completion at %s: missing %s, unexpected %s" % (step["at"], missing, extra))
    if "hover" in step:
        text = result["contents"]["value"] if result else None
        if step["hover"] is None:
            if text is not None:
                raise Failure("hover at %s: expected none, got %r" % (step["at"], text))
        elif text is None or step["hover"] not in text:
            raise Failure("hover at %s: expected %r in %r" % (step["at"], step["hover"], text))
    if "range" in step:
        r = (result or {}).get("range")
        got = r and [r["start"]["line"] + 1, r["start"]["character"], r["end"]["line"] + 1, r["end"]["character"]]
        if got != step["range"]:
            raise Failure("%s at %s: expected range %s, got %s" % (step["send"], step["at"], step["range"], got))
    if "names" in step:
        got = [s["name"] for s in result or []]
        if got != step["names"]:
            raise Failure("%s: expected %s, got %s" % (step["send"], step["names"], got))


run_step.versions = {}


def replay(command, path):
    with open(path, encoding="utf-8") as f:
        steps = json.load(f)
    client = Client(command)
    run_step.versions = {}
    try:
        for number, step in enumerate(steps, 1):
            try:
                run_step(client, step)
            except (Failure, ServerGone, KeyError, TypeError) as e:
                return "%s, step %d: %s" % (os.path.basename(path), number, e)
        return None
    finally:
        if client.proc.poll() is None:
            try:
                client.close()
            except ServerGone:
                pass


def clean_texts(scripts_dir, reference_dir):
    """(name, text) of every script that must give no diagnostics: the corpus
    scripts that run without an error, and the reference's examples that
    print no error."""
    texts = []
    if scripts_dir:
        for path in sorted(glob.glob(os.path.join(scripts_dir, "*.tal"))):
            stem = path[:-4]
            if os.path.exists(stem + ".err") or os.path.exists(stem + ".status"):
                continue
            with open(path, encoding="utf-8", errors="replace") as f:
                texts.append((os.path.relpath(path, scripts_dir), f.read()))
    if reference_dir:
        sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools",
                                        "reference"))
        import reference_pages
        for page in reference_pages.load(reference_dir):
            for script, _, err, line in page.examples():
                if not err:
                    texts.append(("%s:%d" % (page.rel, line), script))
    return texts


def check_clean(command, texts):
    client = Client(command)
    client.request("initialize", {})
    faults = []
    for number, (name, text) in enumerate(texts):
        doc = "clean%d.tal" % number
        client.notify("textDocument/didOpen", {"textDocument": {
            "uri": uri_of(doc), "languageId": "tallow", "version": 1, "text": text}})
        for line, message in diagnostics_of(client, doc):
            faults.append("%s: line %d: %s" % (name, line, message))
        client.notify("textDocument/didClose", {"textDocument": {"uri": uri_of(doc)}})
        diagnostics_of(client, doc)  # the cleared diagnostics
    client.request("shutdown")
    client.notify("exit", None)
    client.close()
    return faults, len(texts)


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--tallow", required=True)
    ap.add_argument("--emulator", default="")
    ap.add_argument("--clean-scripts")
    ap.add_argument("--clean-reference")
    ap.add_argument("--expected", help="a file of diagnostics the clean scripts earn on purpose")
    ap.add_argument("sessions", nargs="*")
    args = ap.parse_args()
    command = server_command(args.tallow, args.emulator or None)
    faults = []
    for path in args.sessions:
        fault = replay(command, path)
        if fault:
            faults.append(fault)
    count = len(args.sessions)
    if args.clean_scripts or args.clean_reference:
        found, count = check_clean(command, clean_texts(args.clean_scripts, args.clean_reference))
        expected = set()
        if args.expected:
            with open(args.expected, encoding="utf-8") as f:
                expected = {line.strip() for line in f if line.strip() and not line.startswith("#")}
        faults += [f for f in found if f not in expected]
        faults += ["expected but not found: " + e for e in sorted(expected - set(found))]
    for fault in faults:
        print(fault)
    print("%d checked, %d faults" % (count, len(faults)))
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
