#!/usr/bin/env python3
"""Tests the reference's own checks on small made-up references: each must
pass a sound one and fail, naming the fault, one with a missing entry, an
entry the engine lacks, a twice documented name, an unknown error text, an
entry without an example, a stale or unexplained exception, an example whose
output differs, and a broken link or anchor.

  selftest.py TALLOW_RUNNER
"""
import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
NAMES = ["keyword\tif", "function\tabs", "constant\tmbOK", "object\tclock", "member\tclock.now"] + [
    "function\tf%03d" % i for i in range(100)]
MESSAGES = ["unknown variable encountered"] + ["message %d" % i for i in range(100)]

SOUND_PAGES = {
    "statements/if.md": "# `if`\n\nErrors: \"unknown variable encountered\".\n\n```tallow\nif 1 < 2 then\n"
                        "    print \"yes\" + 10\nendif\n```\n```output\nyes\n```\n",
    "functions/abs.md": "# `abs`\n\nSee [`clock.now`](../objects/clock.md#now).\n",
    "functions/more.md": "".join("## `f%03d`\n\nx.\n\n" % i for i in range(100)) + "## `mbOK` (constant)\n\n0.\n",
    "objects/clock.md": "# `clock`\n\n## `clock.now`\n\nSee [`if`](../statements/if.md).\n\n"
                        "## `clock.zone` (property)\n\nA property.\n",
    "no-example.txt": "# name: reason\nabs: a reason\nmbOK: a reason\nclock: a reason\nclock.now: a reason\n"
                      "clock.zone: a reason\n" + "".join("f%03d: a reason\n" % i for i in range(100)),
}


class Case:
    def __init__(self, root, runner):
        self.root = root
        self.runner = runner
        self.failures = 0

    def write(self, folder, pages):
        shutil.rmtree(folder, ignore_errors=True)
        for rel, text in pages.items():
            path = os.path.join(folder, rel)
            os.makedirs(os.path.dirname(path), exist_ok=True)
            with open(path, "w") as f:
                f.write(text)

    def run(self, args):
        proc = subprocess.run([sys.executable] + args, capture_output=True, text=True)
        return proc.returncode, proc.stdout + proc.stderr

    def expect(self, what, args, fails, mention=""):
        status, output = self.run(args)
        ok = (status != 0) == fails and mention in output
        if not ok:
            self.failures += 1
            print("FAILED: %s (status %d)\n%s" % (what, status, output))

    def check(self, what, pages, fails, mention=""):
        ref = os.path.join(self.root, "ref")
        self.write(ref, pages)
        self.expect("names: " + what, [os.path.join(HERE, "check_reference.py"), self.tool, ref, self.source],
                    fails, mention)


def main():
    runner = sys.argv[1]
    root = tempfile.mkdtemp(prefix="reference-selftest.")
    try:
        case = Case(root, runner)
        case.tool = os.path.join(root, "names.sh")
        with open(case.tool, "w") as f:
            f.write("#!/bin/sh\nprintf '%s\\n'\n" % "\\n".join(NAMES))
        os.chmod(case.tool, 0o755)
        case.source = os.path.join(root, "src")
        os.makedirs(os.path.join(case.source, "core"))
        with open(os.path.join(case.source, "core", "messages.h"), "w") as f:
            for i, text in enumerate(MESSAGES):
                f.write('constexpr const char kM%d[] = "%s";\n' % (i, text))

        case.check("a sound reference", SOUND_PAGES, False)
        missing = dict(SOUND_PAGES)
        missing["objects/clock.md"] = "# `clock`\n"
        case.check("a member without an entry", missing, True, "`clock.now`")
        extra = dict(SOUND_PAGES)
        extra["functions/sqr.md"] = "# `sqr`\n"
        case.check("an entry the engine lacks", extra, True, "`sqr`")
        twice = dict(SOUND_PAGES)
        twice["functions/abs2.md"] = "# `abs`\n"
        case.check("a name documented twice", twice, True, "twice")
        message = dict(SOUND_PAGES)
        message["functions/abs.md"] = "# `abs`\n\nErrors: \"unknown variable\nencountered\", \"no such message\".\n"
        case.check("an error text the engine lacks", message, True, "no such message")

        bare = dict(SOUND_PAGES)
        bare["no-example.txt"] = SOUND_PAGES["no-example.txt"].replace("abs: a reason\n", "")
        case.check("an entry without an example", bare, True, "`abs` has no example")
        used = dict(SOUND_PAGES)
        used["functions/more.md"] = "```tallow\nf042(1)\n```\n```output\n```\n" + SOUND_PAGES["functions/more.md"]
        case.check("an example on the page that uses the name", used, True, "`f042` has an example")
        bare["no-example.txt"] = SOUND_PAGES["no-example.txt"] + "ghost: a reason\nclock.zone\n"
        case.check("an exception that is no entry", bare, True, "`ghost` lists no entry")
        wildcard = dict(SOUND_PAGES)
        wildcard["no-example.txt"] = SOUND_PAGES["no-example.txt"].replace(
            "clock: a reason\nclock.now: a reason\nclock.zone: a reason\n", "clock.*: a reason\n")
        case.check("a type and its members listed at once", wildcard, False)
        case.check("an exception without a reason", bare, True, "`clock.zone` is listed without a reason")

        ref = os.path.join(root, "ref")
        examples = [os.path.join(HERE, "run_examples.py"), "--runner", runner, "--temp", os.path.join(root, "t")]
        case.write(ref, SOUND_PAGES)
        case.expect("examples: a right output", examples + [ref], False, "1 passed, 0 failed")
        wrong = dict(SOUND_PAGES)
        wrong["statements/if.md"] = SOUND_PAGES["statements/if.md"].replace("```output\nyes", "```output\nno")
        case.write(ref, wrong)
        case.expect("examples: a wrong output", examples + [ref], True, "statements/if.md:5")

        html = os.path.join(root, "html")
        build = [os.path.join(HERE, "build_html.py"), ref]
        links = [os.path.join(HERE, "check_links.py"), html]
        case.write(ref, SOUND_PAGES)
        case.expect("html: a sound reference", build + [html], False)
        case.expect("links: a sound reference", links, False)
        broken = dict(SOUND_PAGES)
        broken["functions/abs.md"] = "# `abs`\n\nSee [`clock.now`](../objects/clock.md#never).\n"
        case.write(ref, broken)
        shutil.rmtree(html)
        case.expect("html: a broken anchor", build + [html], False)
        case.expect("links: a broken anchor", links, True, "#never")
        broken["functions/abs.md"] = "# `abs`\n\nSee [`now`](../objects/watch.md).\n"
        case.write(ref, broken)
        shutil.rmtree(html)
        case.expect("html: a broken link", build + [html], False)
        case.expect("links: a broken link", links, True, "watch.html")

        # The guide's forms: a file written beside the next example, and an
        # example that runs on Linux only (skipped under an emulator).
        guide = os.path.join(root, "guide")
        case.write(guide, {"files.md": "```file in.txt\nfrom the file\n```\n```tallow\nreadfilelines \"in.txt\", "
                                        "l\nprint l$[1] + 10\n```\n```output\nfrom the file\n```\n"})
        case.expect("examples: a file beside the example", examples + [guide], False, "1 passed, 0 failed")
        case.write(guide, {"files.md": "```tallow linux\nprint \"a\" + 10\n```\n```output\nb\n```\n"
                                       "```tallow\nprint \"c\" + 10\n```\n```output\nc\n```\n"})
        case.expect("examples: a Linux example under an emulator", examples + ["--emulator", "env", guide], False,
                    "1 passed, 0 failed, 1 skipped")

        # Synonyms must name entries; the search table must find its entries.
        with_synonyms = dict(SOUND_PAGES)
        with_synonyms["synonyms.txt"] = "abs: magnitude, absolute value\n"
        with_synonyms["objects/clock.md"] = SOUND_PAGES["objects/clock.md"].replace("\n\n", "\n\nTime.\n\n", 1)
        case.write(ref, with_synonyms)
        shutil.rmtree(html, ignore_errors=True)
        case.expect("html: synonyms of an entry", build + [html], False)
        table = os.path.join(root, "queries.txt")
        with open(table, "w") as f:
            f.write("magnitude -> abs\nnow -> clock.now\n")
        search = [os.path.join(HERE, "check_search.py"), html, table]
        node = shutil.which("node") or shutil.which("nodejs")
        if node:
            case.expect("search: queries that find their entries", search, False, "2 queries, 0 problems")
            with open(table, "a") as f:
                f.write("magnitude -> clock.zone\n")
            case.expect("search: a query that misses its entry", search, True, "queries.txt:3")
        with_synonyms["synonyms.txt"] = "sqr: square\n"
        case.write(ref, with_synonyms)
        case.expect("html: a synonym of no entry", build + [html], True, "`sqr` is neither")
        print("%d passed, %d failed" % ((25 if node else 23) - case.failures, case.failures))
        return 1 if case.failures else 0
    finally:
        shutil.rmtree(root, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
