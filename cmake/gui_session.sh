#!/bin/sh
# The desktop TallowEdit's window tests run on: a private Xvfb display with a
# window manager (when openbox is installed) and a Wine prefix that draws with
# the X11 driver.
#   gui_session.sh start STATE            start the display and the prefix's server
#   gui_session.sh run STATE SHOTS SECONDS PROGRAM [ARG...]
#                                         run a Windows program on the display,
#                                         killed after SECONDS; then the BMP
#                                         screenshots in SHOTS become PNG files
#   gui_session.sh stop STATE             end all that start started
# The environment names the prefix and its kind (WINEPREFIX, WINEARCH) and the
# Wine loader (TALLOW_WINE, default wine). STATE is a folder for the display's
# number and the ids of the processes started.
set -u
: "${WINEPREFIX:?}"
WINEARCH=${WINEARCH:-win32}
wine=${TALLOW_WINE:-wine}
export WINEPREFIX WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY

# Seconds for Xvfb to name its display, and for Wine to make a prefix.
kDisplayWait=10
kPrefixWait=120

# alive PID: the process runs (a zombie waiting for its parent does not).
alive() {
    stat=$(ps -o stat= -p "$1" 2>/dev/null) || return 1
    [ -n "$stat" ] && [ "${stat#Z}" = "$stat" ]
}

# stop_pid FILE NAME: ends the process whose id FILE holds, if it is still
# the program NAME (an id from an old run may belong to another process by
# now), and waits up to five seconds for it to go before killing it.
stop_pid() {
    [ -f "$1" ] || return 0
    pid=$(cat "$1")
    rm -f "$1"
    [ -n "$pid" ] && [ "$(ps -o comm= -p "$pid" 2>/dev/null)" = "$2" ] || return 0
    kill "$pid" 2>/dev/null || return 0
    tries=50
    while alive "$pid" && [ "$tries" -gt 0 ]; do
        sleep 0.1
        tries=$((tries - 1))
    done
    alive "$pid" && kill -9 "$pid" 2>/dev/null
    return 0
}

start() {
    state=$1
    mkdir -p "$state"
    stop_pid "$state/openbox.pid" openbox
    stop_pid "$state/xvfb.pid" Xvfb
    command -v Xvfb >/dev/null || { echo "gui_session: Xvfb is not installed" >&2; exit 1; }
    rm -f "$state/display"
    # -displayfd: Xvfb picks a free display and writes its number when ready.
    # Its own stdio is detached so that the test that started it can end.
    fifo="$state/displayfd"
    rm -f "$fifo" && mkfifo "$fifo"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fifo" </dev/null >/dev/null 2>&1 &
    echo $! >"$state/xvfb.pid"
    number=$(timeout "$kDisplayWait" head -n 1 "$fifo")
    rm -f "$fifo"
    if [ -z "$number" ]; then
        echo "gui_session: Xvfb named no display within $kDisplayWait s" >&2
        stop_pid "$state/xvfb.pid" Xvfb
        exit 1
    fi
    echo ":$number" >"$state/display"
    export DISPLAY=":$number"
    if command -v openbox >/dev/null; then
        openbox --sm-disable </dev/null >/dev/null 2>&1 &
        echo $! >"$state/openbox.pid"
    fi
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        mkdir -p "$WINEPREFIX"
        # Judged by the registry it writes: in a 64-bit prefix on a machine
        # that cannot execute 32-bit programs, wineboot's 32-bit half fails.
        timeout "$kPrefixWait" "$wine" wineboot -i </dev/null >/dev/null 2>&1
        timeout 60 wineserver -w  # the server writes the registry files as it ends
        [ -f "$WINEPREFIX/system.reg" ] ||
            { echo "gui_session: wineboot made no prefix at $WINEPREFIX ($WINEARCH)" >&2; exit 1; }
        # The X11 driver said outright; no sound.
        timeout 60 "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d x11 /f </dev/null >/dev/null 2>&1
        timeout 60 "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f </dev/null >/dev/null 2>&1
        timeout 60 wineserver -w
    fi
    # Pages that TallowEdit opens go to dillo where it is installed: a small
    # browser on the private display (Wine's own choice reaches the user's
    # desktop instead).
    if command -v dillo >/dev/null; then
        timeout 60 "$wine" reg add 'HKCU\Software\Wine\WineBrowser' /v Browsers /d dillo /f \
            </dev/null >/dev/null 2>&1
    fi
    # A persistent server, and its helper processes (the desktop window among
    # them) started now with stdio detached: started by the first test, they
    # would hold its output open, and CTest would wait for them.
    wineserver -p </dev/null >/dev/null 2>"$WINEPREFIX/wineserver.log" || true
    timeout 60 "$wine" cmd /c exit </dev/null >/dev/null 2>&1
    exit 0
}

run() {
    state=$1 shots=$2 seconds=$3
    shift 3
    display=$(cat "$state/display" 2>/dev/null)
    [ -n "$display" ] || { echo "gui_session: no display; did the session start?" >&2; exit 1; }
    mkdir -p "$shots"
    # The program sees the folder as a Windows path on Wine's drive Z:.
    # The output goes through a file: a Wine helper the program starts would
    # otherwise hold CTest's pipe open after the program ended.
    log="$state/output.$$"
    # shellcheck disable=SC1003  # a backslash, quoted
    TALLOW_SCREENSHOT_DIR="Z:$(printf '%s' "$shots" | tr / '\\')" DISPLAY=$display \
        timeout -k 10 "$seconds" "$wine" "$@" </dev/null >"$log" 2>&1
    status=$?
    cat "$log"
    rm -f "$log"
    [ "$status" -eq 124 ] && echo "gui_session: $1 did not end within $seconds s" >&2
    if command -v convert >/dev/null; then
        for bmp in "$shots"/*.bmp; do
            [ -f "$bmp" ] || continue
            convert "$bmp" "${bmp%.bmp}.png" || echo "gui_session: convert could not read $bmp" >&2
        done
    fi
    exit "$status"
}

stop() {
    state=$1
    timeout 30 wineserver -k 2>/dev/null
    timeout 30 wineserver -w 2>/dev/null
    stop_pid "$state/openbox.pid" openbox
    stop_pid "$state/xvfb.pid" Xvfb
    rm -f "$state/display"
    exit 0
}

case "${1:-}" in
start) start "${2:?state folder}" ;;
run) [ $# -ge 5 ] || { echo "usage: gui_session.sh run STATE SHOTS SECONDS PROGRAM [ARG...]" >&2; exit 2; }
    shift; run "$@" ;;
stop) stop "${2:?state folder}" ;;
*) echo "usage: gui_session.sh start|run|stop STATE ..." >&2; exit 2 ;;
esac
