#!/usr/bin/env python3
"""Runs scripts against the desktop module on a private Xvfb display and
answers their windows with xdotool, as a user would.

    desktop_check.py RUNNER MODULE TALLOWCOD SCREENSHOTS CASE

Exits 77 (skipped) when Xvfb, xdotool or the module is missing. Every wait
has a hard time limit, so a window that never appears fails the case
instead of hanging it."""
import os
import shutil
import struct
import subprocess
import sys
import tempfile
import time

SKIP = 77
WINDOW_WAIT = 10.0  # seconds for a window to appear
RUN_WAIT = 10.0     # seconds for a script to end once answered


class Desktop:
    def __init__(self):
        read_end, write_end = os.pipe()
        self.server = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten", "tcp"],
            pass_fds=[write_end], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write_end)
        number = b""
        deadline = time.monotonic() + WINDOW_WAIT
        while not number.endswith(b"\n") and time.monotonic() < deadline:
            chunk = os.read(read_end, 16)
            if not chunk:
                break
            number += chunk
        os.close(read_end)
        if not number.strip():
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display, GDK_BACKEND="x11", NO_AT_BRIDGE="1",
                        GSETTINGS_BACKEND="memory")
        for name in ("TALLOW_UNATTENDED", "WAYLAND_DISPLAY"):
            self.env.pop(name, None)

    def close(self):
        self.server.terminate()
        try:
            self.server.wait(5)
        except subprocess.TimeoutExpired:
            self.server.kill()

    def xdotool(self, *args):
        result = subprocess.run(["xdotool", *args], env=self.env, capture_output=True, text=True, timeout=WINDOW_WAIT)
        return result.stdout.strip()

    def window(self, title):
        """The id of the visible window with this title, waited for."""
        deadline = time.monotonic() + WINDOW_WAIT
        while time.monotonic() < deadline:
            found = self.xdotool("search", "--onlyvisible", "--name", "^" + title + "$").split()
            if found:
                time.sleep(0.3)  # let the toolkit finish its first drawing
                return found[0]
            time.sleep(0.1)
        raise RuntimeError("no window titled " + title)

    def gone(self, title):
        deadline = time.monotonic() + WINDOW_WAIT
        while time.monotonic() < deadline:
            if not self.xdotool("search", "--onlyvisible", "--name", "^" + title + "$"):
                return
            time.sleep(0.1)
        raise RuntimeError("window stays: " + title)

    def geometry(self, window):
        """x, y, width, height of the window on the screen."""
        values = {}
        for line in self.xdotool("getwindowgeometry", "--shell", window).splitlines():
            key, _, value = line.partition("=")
            values[key] = int(value)
        return values["X"], values["Y"], values["WIDTH"], values["HEIGHT"]

    def click(self, window, x, y):
        """A click at (x, y) of the window's client area, in pixels."""
        self.xdotool("mousemove", "--window", window, "--sync", str(x), str(y))
        time.sleep(0.1)
        self.xdotool("click", "1")

    def keys(self, window, *keys):
        self.xdotool("windowfocus", "--sync", window)
        time.sleep(0.1)
        self.xdotool("key", "--delay", "30", *keys)

    def type(self, window, text):
        self.xdotool("windowfocus", "--sync", window)
        self.xdotool("type", "--delay", "20", text)

    def screenshot(self, folder, name):
        if shutil.which("import"):
            os.makedirs(folder, exist_ok=True)
            subprocess.run(["import", "-window", "root", os.path.join(folder, name + ".png")], env=self.env,
                           timeout=WINDOW_WAIT, capture_output=True)


# ---- The cases: each answers the windows its script opens -------------------

def base_units(width, height, cx, cy):
    """The whole-pixel base units that give a template of cx x cy dialog units
    exactly width x height pixels (x * unit / 4, y * unit / 8, truncated)."""
    units_x = [u for u in range(3, 16) if cx * u // 4 == width]
    units_y = [u for u in range(6, 32) if cy * u // 8 == height]
    if not units_x or not units_y:
        raise RuntimeError("%dx%d pixels is no whole-unit size of %dx%d dialog units" % (width, height, cx, cy))
    return units_x[0], units_y[0]


def msgbox_answers(desk, work):
    one = desk.window("Box one")
    desk.screenshot(desk.shots, "msgbox_answers")
    desk.keys(one, "alt+n")
    desk.keys(desk.window("Box two"), "Escape")
    desk.keys(desk.window("Box three"), "Return")
    desk.keys(desk.window("Box four"), "alt+i")
    desk.keys(desk.window("Tallow"), "Return")
    six = desk.window("Box six")
    desk.keys(six, "Escape")  # a box without Cancel stays
    time.sleep(0.3)
    desk.keys(desk.window("Box six"), "alt+y")


def close_box(desk, window):
    desk.keys(window, "alt+F4")  # the window manager's close


def dialog_answers(desk, work):
    answers = desk.window("Answers")
    desk.screenshot(desk.shots, "dialog_answers")
    _, _, width, height = desk.geometry(answers)
    base_x, base_y = base_units(width, height, 200, 120)
    unit_x, unit_y = base_x / 4, base_y / 8
    # Controls where the template puts them: x * unit_x, y * unit_y.
    def at(x, y):
        return int(x * unit_x), int(y * unit_y)
    desk.click(answers, *at(90, 11))           # the edit field
    desk.type(answers, "Ada")
    desk.click(answers, at(20, 25)[0], at(0, 25)[1] + 6)  # the list's first row
    desk.keys(answers, "Down")                 # and the second
    desk.click(answers, *at(100, 30))          # the check box
    desk.click(answers, *at(100, 57))          # the second radio button
    desk.click(answers, *at(115, 107))         # OK
    answers = desk.window("Answers")
    desk.click(answers, *at(170, 107))         # Cancel: the dialog stays as it was
    answers = desk.window("Answers")
    close_box(desk, answers)
    wide = desk.window("Wide")
    _, _, wide_width, wide_height = desk.geometry(wide)
    desk.screenshot(desk.shots, "dialog_wide")
    # 300 x 60 units in the same font: the same base units.
    if base_units(wide_width, wide_height, 300, 60) != (base_x, base_y):
        raise RuntimeError("Wide is %dx%d, not 300x60 units of %dx%d pixels" % (wide_width, wide_height, base_x, base_y))
    desk.keys(desk.window("Measure"), "Return")


def dialog_modeless(desk, work):
    answers = desk.window("Answers")
    base_x, base_y = base_units(*desk.geometry(answers)[2:], 200, 120)
    desk.click(answers, 100 * base_x // 4, 30 * base_y // 8)  # the check box
    desk.click(answers, 90 * base_x // 4, 11 * base_y // 8)   # the edit field
    desk.type(answers, "Bo")


def chooser_answers(desk, work):
    os.mkdir(os.path.join(work, "inner"))
    open(os.path.join(work, "notes.txt"), "w").close()
    pick = desk.window("Pick a file")
    desk.screenshot(desk.shots, "chooser_open")
    desk.keys(pick, "ctrl+l")
    desk.type(pick, os.path.join(work, "notes.txt"))
    time.sleep(0.3)
    desk.keys(pick, "alt+o")
    desk.keys(desk.window("Save it"), "Escape")
    folder = desk.window("Pick a folder")
    desk.keys(folder, "ctrl+l")
    desk.type(folder, os.path.join(work, "inner") + "/")
    time.sleep(0.3)
    desk.keys(folder, "alt+s")


def status_window(desk, work):
    working = desk.window("Working")
    desk.window("Look")
    desk.screenshot(desk.shots, "status_window")
    _, _, width, height = desk.geometry(working)
    base_units(width, height, 207, 55)
    desk.keys(desk.window("Look"), "Return")
    desk.window("Look again")
    desk.gone("Working")
    desk.keys(desk.window("Look again"), "Return")


def clipboard_put(desk, work):
    pass  # nothing to answer: the script puts and ends


def clipboard_take(desk, work):
    """After clipboard_put has ended, another script finds its data."""
    here = os.path.dirname(os.path.abspath(__file__))
    reader = subprocess.run([desk.runner, os.path.join(here, "clipboard_take.tal")], cwd=work, env=desk.script_env,
                            capture_output=True, timeout=RUN_WAIT)
    with open(os.path.join(here, "clipboard_take.out"), "rb") as f:
        want = f.read()
    if reader.stdout != want:
        raise RuntimeError("clipboard_take gave %r, not %r (%s)" % (reader.stdout, want, reader.stderr))


def unattended_quiet(desk, work):
    pass  # nothing may appear; the script's output says what it answered


def dialog_escape(desk, work):
    desk.keys(desk.window("Leave"), "Escape")
    desk.gone("Leave")
    # No control with id 2: Escape leaves the dialog waiting, and the Return
    # after it gives OK (an Escape that ended it would have printed 2).
    desk.keys(desk.window("Stay"), "Escape", "Return")


def clipboard_round_trip(desk, work):
    pass  # nothing to answer: the script puts, reads back and ends


def clipboard_foreign(desk, work):
    """Another program's text, served by a clipboard helper that is not the
    script's (no marker, only the text targets), read by a script."""
    helper = os.path.join(os.path.dirname(desk.module), "tallow-clipboard")
    text = "caf\u00e9\nna\u00efve \u263a".encode()
    records = struct.pack("<I", 0) + struct.pack("<I", len(text)) + text
    server = subprocess.Popen([helper], stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=subprocess.DEVNULL,
                              env=desk.env, start_new_session=True)
    try:
        server.stdin.write(records)
        server.stdin.close()
        if server.stdout.read(1) != b"1":
            raise RuntimeError("the other program could not take the clipboard")
        here = os.path.dirname(os.path.abspath(__file__))
        reader = subprocess.run([desk.runner, os.path.join(here, "clipboard_foreign.tal")], cwd=work,
                                env=desk.script_env, capture_output=True, timeout=RUN_WAIT)
        with open(os.path.join(here, "clipboard_foreign.out"), "rb") as f:
            want = f.read()
        if reader.stdout != want:
            raise RuntimeError("clipboard_foreign gave %r, not %r (%s)" % (reader.stdout, want, reader.stderr))
    finally:
        server.kill()
        server.wait()


def error_to_stderr(desk, work):
    desk.keys(desk.window("Still a window"), "Return")
    no_error_box(desk)


def code_error_to_stderr(desk, work):
    desk.keys(desk.window("Ask"), "Return")
    no_error_box(desk)


def no_error_box(desk):
    """The script ends by itself (the harness waits for it) and no box
    titled Error ever appears."""
    deadline = time.monotonic() + 2
    while time.monotonic() < deadline:
        if desk.xdotool("search", "--onlyvisible", "--name", "^Error$"):
            raise RuntimeError("an error box appeared")
        time.sleep(0.1)


# Runner options of a case.
ARGS = {"unattended_quiet": ["--unattended"]}

# The exit status of a case's script when it is not 0.
STATUS = {"error_to_stderr": 1, "code_error_to_stderr": 1}

# Run once the case's script has ended.
AFTER = {"clipboard_put": clipboard_take, "clipboard_round_trip": clipboard_foreign}

def keys_and_windows(desk, work):
    pass  # the script finds its window and types by itself


CASES = {"dialog_escape": dialog_escape, "clipboard_round_trip": clipboard_round_trip,
         "error_to_stderr": error_to_stderr, "code_error_to_stderr": code_error_to_stderr,
         "unattended_quiet": unattended_quiet, "keys_and_windows": keys_and_windows, "dialog_modeless": dialog_modeless, "clipboard_put": clipboard_put, "status_window": status_window, "msgbox_answers": msgbox_answers, "dialog_answers": dialog_answers, "chooser_answers": chooser_answers}


def main():
    runner, module, tool, shots, case = sys.argv[1:6]
    for program in ("Xvfb", "xdotool", "openbox"):
        if not shutil.which(program):
            print("%s is not installed: skipped" % program)
            return SKIP
    if not os.path.exists(module):
        print("no desktop module: skipped")
        return SKIP
    here = os.path.dirname(os.path.abspath(__file__))
    stale = os.path.join(shots, case + "_failed.png")  # from an earlier run
    if os.path.exists(stale):
        os.remove(stale)
    desk = Desktop()
    desk.shots = shots
    desk.module = module
    manager = subprocess.Popen(["openbox", "--sm-disable"], env=desk.env, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    work = tempfile.mkdtemp(prefix="tallow-desktop-")
    script = None
    try:
        time.sleep(0.5)  # the window manager takes the screen
        target = os.path.join(here, case + ".tal")
        if os.path.exists(os.path.join(here, case + ".rc")):
            target = os.path.join(work, case + ".cod")
            subprocess.run([tool, "pack", os.path.join(here, case + ".tal"), os.path.join(here, case + ".rc"),
                            "-o", target], check=True, timeout=RUN_WAIT, capture_output=True)
        env = dict(desk.env, TALLOW_GUI_MODULE=module)
        desk.runner, desk.script_env = runner, env
        script = subprocess.Popen([runner, *ARGS.get(case, []), target], cwd=work, env=env, stdout=subprocess.PIPE,
                                  stderr=subprocess.PIPE)
        try:
            CASES[case](desk, work)
            out, err = script.communicate(timeout=RUN_WAIT)
            if case in AFTER and script.returncode == 0:
                AFTER[case](desk, work)
        except Exception:
            desk.screenshot(shots, case + "_failed")
            script.kill()
            out, err = script.communicate()
            print("script output so far:\n" + out.decode(errors="replace") + err.decode(errors="replace"))
            raise
        with open(os.path.join(here, case + ".out")) as f:
            want = f.read().replace("{work}", work)
        got = out.decode(errors="replace")
        error_file = os.path.join(here, case + ".err")
        if os.path.exists(error_file):
            with open(error_file) as f:
                want_err = f.read().replace("{work}", work).replace("{script}", target)
            if err.decode(errors="replace") != want_err:
                print("--- expected on standard error\n%s--- got\n%s" % (want_err, err.decode(errors="replace")))
                return 1
        if got != want or script.returncode != STATUS.get(case, 0):
            print("status %d\n--- expected\n%s--- got\n%s--- stderr\n%s"
                  % (script.returncode, want, got, err.decode(errors="replace")))
            return 1
        return 0
    finally:
        if script and script.poll() is None:
            script.kill()
            script.wait()
        manager.terminate()
        manager.wait(5)
        desk.close()
        shutil.rmtree(work, ignore_errors=True)


if __name__ == "__main__":
    sys.exit(main())
