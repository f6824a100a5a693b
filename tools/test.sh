#!/usr/bin/env bash
# The project's test command: installs the dependencies, builds both targets
# and runs every test of both. Every step runs even after an earlier one failed;
# the exit status is non-zero when any step failed.
#   tools/test.sh
# TALLOW_BUILD_PREFIX=build/me- puts the build folders at build/me-native and
# build/me-win32 instead of the presets' build/native and build/win32.
# Where 32-bit Wine cannot run, TallowEdit's window tests run in the 64-bit
# check build (preset win64) under 64-bit Wine instead.
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1

jobs=$(nproc 2>/dev/null || echo 2)
results=()
failures=0

# step NAME COMMAND [ARG...]: runs one step, timed, and records its result.
step() {
    local name=$1 start=$SECONDS status=0
    shift
    echo "==== $name"
    "$@" || status=$?
    if [ "$status" -eq 0 ]; then
        results+=("ok      $name ($((SECONDS - start)) s)")
    else
        results+=("FAILED  $name ($((SECONDS - start)) s, status $status)")
        failures=$((failures + 1))
    fi
    return "$status"
}

build_dir() { echo "${TALLOW_BUILD_PREFIX}$1"; }

configure_and_build() {
    if [ -n "${TALLOW_BUILD_PREFIX:-}" ]; then
        cmake --preset "$1" -B "$(build_dir "$1")" && cmake --build "$(build_dir "$1")" --parallel "$jobs"
    else
        cmake --preset "$1" && cmake --build --preset "$1" --parallel "$jobs"
    fi
}

# run_tests PRESET [CTEST-ARG...]
run_tests() {
    local preset=$1
    shift
    if [ -n "${TALLOW_BUILD_PREFIX:-}" ]; then
        ctest --test-dir "$(build_dir "$preset")" --output-on-failure --parallel 4 --timeout 300 --no-tests=error "$@"
    else
        ctest --preset "$preset" --no-tests=error "$@"
    fi
}

# build_and_test PRESET: configures and builds a CMake preset and runs its tests.
build_and_test() {
    step "$1: build" configure_and_build "$1" && step "$1: tests" run_tests "$1"
}

# optional FILE [ARG...]: a step that runs once FILE exists in the tree.
optional() {
    if [ ! -e "$1" ]; then
        echo "==== $1: not in the tree yet, skipped"
        return 0
    fi
    if [ -x "$1" ]; then
        step "$*" "$@"
    else
        step "$*" bash "$@"
    fi
}

# Dependencies, group by group. Without the native packages nothing can be
# built; without the win32 compilers the win32 build fails on its own. Wine
# alone may be missing for one precisely recognised cause (Debian's i386 index
# unreadable, or a machine that cannot execute 32-bit programs): then the win32
# target is still built and its tests that need no Wine run, and the summary
# says loudly which tests were skipped and why.
wine_skip=""
step "dependencies: native" tools/install-deps.sh native || {
    echo "test.sh: the native dependencies are not installed; nothing was built" >&2
    exit 1
}
step "dependencies: win32" tools/install-deps.sh win32
wine_log=$(mktemp)
trap 'rm -f "$wine_log"' EXIT
tools/install-deps.sh wine 2>&1 | tee "$wine_log"
wine_status=${PIPESTATUS[0]}
if [ "$wine_status" -eq 3 ]; then
    wine_skip=$(grep -m1 '^install-deps: wine unavailable:' "$wine_log" | sed 's/^install-deps: wine unavailable: //')
    results+=("SKIPPED dependencies: wine ($wine_skip)")
elif [ "$wine_status" -ne 0 ]; then
    results+=("FAILED  dependencies: wine (status $wine_status)")
    failures=$((failures + 1))
else
    # Installed, but Wine's 32-bit loader is a 32-bit Linux program: some
    # virtual machines cannot execute those at all.
    if wine_out=$(wine --version 2>&1); then
        results+=("ok      dependencies: wine ($wine_out)")
    elif printf '%s' "$wine_out" | grep -q 'Exec format error'; then
        wine_skip="this machine cannot execute 32-bit programs, so Wine cannot run ($(printf '%s' "$wine_out" | head -n 1))"
        results+=("SKIPPED dependencies: wine ($wine_skip)")
    else
        results+=("FAILED  dependencies: wine (wine --version: $wine_out)")
        failures=$((failures + 1))
    fi
fi
step "dependencies: tools" tools/install-deps.sh tools

step "format" tools/format.sh --check
build_and_test native
# Every remembered and compiled form off: the same tests must give the same
# results reading every statement from the text.
without_fast_paths() { TALLOW_NO_FAST_PATHS=1 run_tests "$@"; }
step "native: tests without fast paths" without_fast_paths native
# The corpus is stored with LF line ends; the engine reads CR LF alike (a
# script that reports its own byte offsets is left out).
with_crlf() { TALLOW_TEST_CRLF=1 run_tests "$@" -R '^(script|extension)\.' -E 'runner_nul_byte'; }
step "native: corpus with CR LF line ends" with_crlf native
# win64_gui_tests: TallowEdit and its window tests alone (not the engine) in
# the win64 check build, and the tests labelled ide-gui under 64-bit Wine.
win64_gui_tests() {
    local dir=build/win64
    [ -n "${TALLOW_BUILD_PREFIX:-}" ] && dir=$(build_dir win64)
    tools/install-deps.sh win64 &&
        cmake --preset win64 -B "$dir" &&
        cmake --build "$dir" --parallel "$jobs" --target TallowEdit ide_gui_tests &&
        ctest --test-dir "$dir" --output-on-failure --timeout 300 --no-tests=error -L ide-gui
}
if [ -z "$wine_skip" ]; then
    build_and_test win32
    echo "==== win64: TallowEdit GUI tests under 64-bit Wine: skipped, the win32 tests ran them under 32-bit Wine"
else
    step "win32: build" configure_and_build win32 &&
        step "win32: tests without Wine" run_tests win32 -LE wine
    results+=("SKIPPED win32: tests under Wine ($wine_skip)")
    step "win64: TallowEdit GUI tests under 64-bit Wine" win64_gui_tests
fi
optional tools/sanitize.sh          # the native-asan preset: build and tests
optional tools/tsan.sh              # the native-tsan preset: programs on several threads
optional bench/run --quick          # quick benchmark run
optional tools/package.sh           # the Debian package and the NSIS installer
optional tools/fuzz.sh --short      # short fuzz runs

echo "==== summary"
printf '%s\n' "${results[@]}"
if [ -n "$wine_skip" ]; then
    echo "test.sh: WARNING: the win32 tests that run under Wine were NOT run: $wine_skip"
    echo "test.sh: TallowEdit's window tests ran in the win64 check build under 64-bit Wine instead"
fi
echo "test.sh: $failures of ${#results[@]} steps failed, $SECONDS s in all"
[ "$failures" -eq 0 ]
