#!/usr/bin/env bash
# Takes docs/images/dialog-windows.png: the dialog `answers` of
# tests/desktop/dialog_answers.rc (the one docs/images/dialog-linux.png shows),
# packed with its script into a code file and run by the win64 build's
# tallow.exe under 64-bit Wine, on a private Xvfb display with openbox.
#   tools/capture_dialog_windows.sh [OUTPUT.png]
# Needs the win64 build of the runner (cmake --preset win64 && cmake --build
# build/win64 --target tallow tallowcod), Xvfb, openbox, xdotool and
# ImageMagick. The Wine prefix is build/win64/capture-prefix.
set -euo pipefail
cd "$(dirname "$0")/.."
out=$(realpath -m "${1:-docs/images/dialog-windows.png}")
build=$PWD/build/win64
kWindowWait=90 # seconds for Wine to start and show the dialog

# Debian's wine command takes the 32-bit loader whenever that is installed;
# the win64 build needs the 64-bit one.
wine=$(command -v wine64 || command -v /usr/lib/wine/wine64 || command -v wine || true)
export TALLOW_WINE=$wine
for program in Xvfb xdotool import "$wine"; do
    command -v "$program" >/dev/null || { echo "capture: $program is not installed" >&2; exit 1; }
done
[ -f "$build/tallow.exe" ] || { echo "capture: build $build/tallow.exe first (win64 preset)" >&2; exit 1; }

work=$(mktemp -d)
export WINEPREFIX=$build/capture-prefix WINEARCH=win64
runner=
cleanup() {
    [ -n "$runner" ] && kill "$runner" 2>/dev/null
    sh cmake/gui_session.sh stop "$work/state" >/dev/null 2>&1
    rm -rf "$work"
}
trap cleanup EXIT

cp tests/desktop/dialog_answers.tal tests/desktop/dialog_answers.rc "$work/"
if [ -x build/native/tallowcod ]; then
    build/native/tallowcod pack "$work/dialog_answers.tal" "$work/dialog_answers.rc" -o "$work/answers.cod" >/dev/null
else
    (cd "$work" && WINEDEBUG=-all "$wine" "$build/tallowcod.exe" pack dialog_answers.tal dialog_answers.rc \
        -o answers.cod >/dev/null)
fi

sh cmake/gui_session.sh start "$work/state"
display=$(cat "$work/state/display")
(cd "$work" && DISPLAY=$display WINEDEBUG=-all exec "$wine" "$build/tallow.exe" answers.cod) \
    </dev/null >"$work/run.log" 2>&1 &
runner=$!

window=
for _ in $(seq $((kWindowWait * 2))); do
    window=$(DISPLAY=$display xdotool search --onlyvisible --name '^Answers$' 2>/dev/null | head -n 1 || true)
    [ -n "$window" ] && break
    sleep 0.5
done
[ -n "$window" ] || { echo "capture: no window titled Answers within $kWindowWait s" >&2; cat "$work/run.log" >&2; exit 1; }
sleep 2 # let Wine finish drawing
DISPLAY=$display import -frame -window "$window" "$out"
echo "capture: wrote $out"
