#!/usr/bin/env python3
"""Runs the claims that the pages on Linux behaviour and the manual pages
make about the programs, so that the pages keep saying what the programs do.

  check_claims.py --build BUILD_DIR --temp DIR DOCS_DIR

Each claim names a page, a phrase the page must still hold (so a claim
goes when its text is rewritten, and the table with it), a shell command run
with the build's programs first on PATH, no display and no standard input,
the exit status it must end with and a pattern its standard output and error
together must match. Examples with their output are run by run_examples.py;
this table holds what an example block cannot show (statuses, options,
what the manual pages say).
"""
import argparse
import os
import re
import shutil
import subprocess
import sys
import tempfile

CLAIMS = [
    # (page, phrase, command, status, pattern)
    ("tallow.1", "124 when", "tallow --max-statements 50 -e 'while 1 = 1\nendwhile'", 124, ""),
    ("tallow.1", "2 for a\nwrong command line", "tallow --no-such-option", 2, ""),
    ("tallow.1", "a script that cannot be read", "tallow no-such-file.tal", 2, ""),
    ("tallow.1", "1 when an error\nended it", "tallow -e 'throw \"x\"'", 1, ""),
    ("tallow.1", "the script is read from standard input",
     "echo 'print \"piped\" + 10' | tallow", 0, r"^piped\n$"),
    ("tallow.1", "a first line starting with \\fB#!\\fR",
     "printf '#!/usr/bin/env tallow\\nprint \"bang\" + 10\\n' > b.tal && tallow b.tal", 0, r"^bang\n$"),
    ("tallow.1", "\\fIFILE\\fR:\\fILINE\\fR:\\fICOLUMN\\fR: error: \\fIMESSAGE\\fR",
     "printf 'x# = 1\\nchdir \"/none/such\"\\n' > e.tal && tallow e.tal", 1,
     r"\ne\.tal:2:\d+: error: Could not change working directory!"),
    ("tallow.1", "\\fIFILE\\fR is \\fB\\-e\\fR", "tallow -e 'prnt 1'", 1, r"(^|\n)-e:1:1: error: "),
    ("tallow.1", "On Linux every run without a desktop",
     "tallow -e 'x# = msgbox(\"text\", 0, \"caption\")'", 0, r"^caption: text\n$"),
    ("tallow.1", "\\fBTALLOW_UNATTENDED\\fR=1 does the same",
     "DISPLAY=:999 TALLOW_UNATTENDED=1 tallow -e 'x# = msgbox(\"text\", 0, \"caption\")'", 0,
     r"^caption: text\n$"),
    ("tallow.1", "Print the version", "tallow --version", 0, r"\d+\.\d+\.\d+"),
    ("tallowmake.1", "needs only the C\nlibrary, SQLite and libffi at run time",
     "echo 'print 1' > m.tal && tallowcod pack m.tal -o m.cod >/dev/null && tallowmake m.cod -o m && "
     "readelf -d m | sed -n 's/.*Shared library: \\[\\(.*\\)\\]/\\1/p' | sort", 0,
     r"^(?:(?:libc|libm|libsqlite3|libffi|ld-linux-x86-64)\.so[.\d]*\n)+$"),
    ("tallowmake.1", "exits with\nstatus 2, as the bare stub does",
     "cp \"$(dirname \"$(command -v tallowmake)\")/tallowstub\" bare && ./bare", 2, ""),
    ("tallowmake.1", "2 for a wrong command line", "tallowmake", 2, ""),
    ("reference/language/linux.md", "`clipboard`](../objects/clipboard.md) | the desktop's clipboard",
     "tallow -e 'x$ = clipboard.gettext()'", 1, r"Cannot open clipboard!"),
    ("reference/language/linux.md", "no window is found (\"Could not find window!\")",
     "tallow -e 'findwindow \"No such window title\"'", 1, r"Could not find window!"),
    ("reference/language/runner.md", "ends a run after N statements (status 124)",
     "tallow --max-statements 10 -e 'while 1 = 1\nendwhile'", 124, ""),
    ("reference/language/runner.md", "lasted N seconds (status 124 too; a wait under way returns then)",
     "tallow --max-seconds 0.5 -e 'sleep 30\nprint \"not reached\"'", 124, ""),
    ("reference/language/errors.md", "exits with status 1",
     "tallow -e 'chdir \"/none/such\"'", 1, r"Could not change working directory!"),
]


def main():
    ap = argparse.ArgumentParser()
    ap.add_argument("--build", required=True)
    ap.add_argument("--temp", required=True)
    ap.add_argument("docs")
    args = ap.parse_args()
    os.makedirs(args.temp, exist_ok=True)
    env = {k: v for k, v in os.environ.items()
           if k not in ("DISPLAY", "WAYLAND_DISPLAY", "TALLOW_UNATTENDED", "TALLOW_NO_FAST_PATHS")}
    env["PATH"] = os.path.abspath(args.build) + os.pathsep + env.get("PATH", "/usr/bin:/bin")
    failures = 0
    for page, phrase, command, status, pattern in CLAIMS:
        with open(os.path.join(args.docs, page), encoding="utf-8") as f:
            text = re.sub(r"\s+", " ", f.read())
        if re.sub(r"\s+", " ", phrase) not in text:
            print("%s no longer says \"%s\": mend the claim in check_claims.py" % (page, phrase))
            failures += 1
            continue
        work = tempfile.mkdtemp(dir=args.temp)
        env.update(XDG_CONFIG_HOME=work, XDG_RUNTIME_DIR=work, XDG_STATE_HOME=work)
        try:
            proc = subprocess.run(["bash", "-c", command], cwd=work, env=env, stdin=subprocess.DEVNULL,
                                  stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=60)
        finally:
            shutil.rmtree(work, ignore_errors=True)
        said = proc.stdout.decode("utf-8", "replace")
        if proc.returncode != status or not re.search(pattern, said):
            print("%s: \"%s\" does not hold: `%s` ended with %d (expected %d) and printed\n%s" % (
                page, phrase, command, proc.returncode, status, said))
            failures += 1
    print("%d claims, %d failed" % (len(CLAIMS), failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main())
