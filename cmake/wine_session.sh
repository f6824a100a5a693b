#!/bin/sh
# Starts or stops the Wine session the win32 tests run in.
#   WINEPREFIX=DIR [WINEARCH=win32|win64] [TALLOW_WINE=LOADER] wine_session.sh start|stop
# The prefix is created on first use with Wine's null display driver, so
# windows, dialogs and message boxes work without an X server.
set -u
: "${WINEPREFIX:?}"
WINEARCH=${WINEARCH:-win32}
wine=${TALLOW_WINE:-wine}
export WINEPREFIX WINEARCH WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY
case "${1:-start}" in
start)
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    # Judged by the registry it writes: in a 64-bit prefix on a machine that
    # cannot execute 32-bit programs, wineboot's 32-bit half fails.
    "$wine" wineboot -i </dev/null >/dev/null 2>&1
    booted=$?
    wineserver -w  # the server writes the registry files as it ends
    [ "$booted" -eq 0 ] || [ -f "$WINEPREFIX/system.reg" ] || { echo "wineboot failed" >&2; exit 1; }
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f </dev/null >/dev/null 2>&1
    "$wine" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d '' /f </dev/null >/dev/null 2>&1
    wineserver -w
  fi
  # A persistent server, and its helper processes started with stdio
  # detached: otherwise the first test's captured output stays open.
  wineserver -p </dev/null >/dev/null 2>"$WINEPREFIX/wineserver.log" || true
  "$wine" cmd /c exit </dev/null >/dev/null 2>&1
  exit 0
  ;;
stop)
  wineserver -k 2>/dev/null
  wineserver -w
  exit 0
  ;;
esac
