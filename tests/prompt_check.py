#!/usr/bin/env python3
"""The interactive prompt, driven through a pseudo-terminal: variables and
procedures persist between entries, a block runs once it is closed, an
entry that is an expression shows its value, an error is reported by the
lines of its entry with its token and notes (and nothing about aborting)
and the prompt goes on, and exit leaves with its code.
With --history the prompt must have edited its lines with libedit: the
entries are in the history file afterwards.

Usage: prompt_check.py RUNNER WORK_DIR [--history]
"""
import os
import pty
import select
import sys
import time


def read_until(fd, marker, timeout=10.0):
    out = b""
    deadline = time.time() + timeout
    while marker not in out:
        left = deadline - time.time()
        if left <= 0:
            raise TimeoutError(f"no {marker!r} in {out!r}")
        ready, _, _ = select.select([fd], [], [], left)
        if ready:
            try:
                chunk = os.read(fd, 4096)
            except OSError:
                break
            if not chunk:
                break
            out += chunk
    return out


def main():
    runner, work = sys.argv[1], sys.argv[2]
    want_history = "--history" in sys.argv[3:]
    os.makedirs(work, exist_ok=True)
    history = os.path.join(work, "tallow", "history")
    if os.path.exists(history):
        os.remove(history)
    env = dict(os.environ, XDG_STATE_HOME=work, XDG_CONFIG_HOME=work, TERM="dumb")
    pid, fd = pty.fork()
    if pid == 0:
        os.execve(runner, [runner, "--unattended"], env)
    seen = read_until(fd, b"tallow> ")
    steps = [
        (b'x# = 40\n', b"tallow> "),
        (b'proc twice# n#\n', b"...> "),
        (b'Result# = n# * 2\n', b"...> "),
        (b'endproc\n', b"tallow> "),
        (b'print str(twice(x#) + 4) + 10\n', b"tallow> "),
        (b'pritn "oops"\n', b"tallow> "),
        (b'for i# = 1 to 3\n', b"...> "),
        (b'print str(i#)\n', b"...> "),
        (b'next\n', b"tallow> "),
        (b'x# + 2 * 0.25\n', b"tallow> "),
        (b'"say" + 34 + "hi" + 34\n', b"tallow> "),
        (b'for i# = 1 to 2\n', b"...> "),
        (b'print str(i# + q#)\n', b"...> "),
        (b'next\n', b"tallow> "),
        (b'proc bad# n#\n', b"...> "),
        (b'Result# = n# + nothere#\n', b"...> "),
        (b'endproc\n', b"tallow> "),
        (b'bad(1)\n', b"tallow> "),
        (b'exit 7\n', None),
    ]
    for text, marker in steps:
        os.write(fd, text)
        if marker:
            seen += read_until(fd, marker)
    try:
        seen += read_until(fd, b"\x00", timeout=5)
    except (TimeoutError, OSError):
        pass
    _, status = os.waitpid(pid, 0)
    text = seen.decode(errors="replace")
    checks = [
        "84",
        "line 1:1: error: unknown statement encountered: 'pritn'",
        "line 1:1: note: did you mean 'print'?",
        "123",
        "40.5",
        '"say" + 34 + "hi" + 34',
        "line 2:16: error: unknown variable encountered: 'q#'",
        "line 2:16 of the entry 'proc bad# n#': error: unknown variable encountered: 'nothere#'",
    ]
    missing = [c for c in checks if c not in text]
    if "aborting" in text:
        missing.append("no word of aborting")
    if want_history:
        try:
            with open(history, encoding="utf-8", errors="replace") as f:
                kept = f.read().replace("\\040", " ")  # libedit's history escapes spaces
        except OSError:
            kept = ""
        if "proc twice# n#" not in kept:
            missing.append("history file with the entries")
    if missing or os.waitstatus_to_exitcode(status) != 7:
        print("prompt session:\n" + text)
        print("missing:", missing, "status:", os.waitstatus_to_exitcode(status))
        return 1
    print("prompt_check: a session of entries, a block, an error and exit 7")
    return 0


if __name__ == "__main__":
    sys.exit(main())
