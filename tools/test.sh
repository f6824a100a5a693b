#!/usr/bin/env bash
# The project's test command: installs the dependencies, builds both targets
# and runs every test of both. Every step runs even after an earlier one failed;
# the exit status is non-zero when any step failed.
#   tools/test.sh
# TALLOW_BUILD_PREFIX=build/me- puts the build folders at build/me-native,
# build/me-win32 and so on instead of the presets' build/native, build/win32.
#
# The Windows lane: the whole Windows test set (engine, objects, code files,
# tallowmake, the reference's examples, TallowEdit) runs under Wine. Where
# 32-bit Wine runs, that is the product's own win32 build; where it cannot
# (a machine that cannot execute 32-bit programs, or Debian's i386 index
# unreadable), the win32 build's programs are still built and checked, and
# the whole set runs in the 64-bit check build (preset win64) under 64-bit
# Wine. Tests that meet a limit of Wine itself carry the label wine-limit;
# they are left out under Wine and named in the summary with their reasons.
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

# skip NAME REASON: records a step that did not run, and why.
skip() {
    echo "==== $1: skipped, $2"
    results+=("SKIPPED $1 ($2)")
}

build_dir() { echo "${TALLOW_BUILD_PREFIX:-build/}$1"; }

# configure PRESET: configures a preset into its build folder.
configure() {
    cmake --preset "$1" -B "$(build_dir "$1")"
}

# configure_and_build PRESET [TARGET...]: configures and builds a preset
# (only the named targets, when there are any).
configure_and_build() {
    local preset=$1
    shift
    local targets=()
    [ $# -gt 0 ] && targets=(--target "$@")
    configure "$preset" && cmake --build "$(build_dir "$preset")" --parallel "$jobs" "${targets[@]}"
}

# run_tests PRESET [CTEST-ARG...]: runs the tests of a preset's build. Tests
# that did not run (skipped for a missing tool, say) are named in the summary.
run_tests() {
    local preset=$1 log status
    shift
    log=$(mktemp)
    ctest --test-dir "$(build_dir "$preset")" --output-on-failure --parallel 4 --timeout 300 \
        --no-tests=error "$@" 2>&1 | tee "$log"
    status=${PIPESTATUS[0]}
    local skipped
    skipped=$(sed -n '/^The following tests did not run:/,/^$/p' "$log" | grep -E '^\s+[0-9]+ - ' |
        sed -E 's/^\s+[0-9]+ - //' | paste -sd ',' - | sed 's/,/, /g')
    [ -n "$skipped" ] && results+=("NOTE    $preset: tests that did not run: $skipped")
    rm -f "$log"
    return "$status"
}

# wine_limits PRESET: the summary lines for the tests of that build that
# meet a limit of Wine itself (written at configure time, one "TEST: REASON"
# a line).
wine_limits() {
    local file line
    file=$(build_dir "$1")/wine-limits.txt
    [ -f "$file" ] || return 0
    while IFS= read -r line; do
        [ -n "$line" ] && results+=("SKIPPED $1: ${line%%: *} under Wine (${line#*: })")
    done <"$file"
}

# Dependencies, group by group. Without the native packages nothing can be
# built; without the win32 compilers the win32 build fails on its own. 32-bit
# Wine alone may be missing for a precisely recognised cause (Debian's i386
# index unreadable, or a machine that cannot execute 32-bit programs): then
# the Windows lane moves to the 64-bit check build.
step "dependencies: native" tools/install-deps.sh native || {
    echo "test.sh: the native dependencies are not installed; nothing was built" >&2
    exit 1
}
step "dependencies: win32" tools/install-deps.sh win32
wine32_skip=""
wine_log=$(mktemp)
trap 'rm -f "$wine_log"' EXIT
tools/install-deps.sh wine 2>&1 | tee "$wine_log"
wine_status=${PIPESTATUS[0]}
if [ "$wine_status" -eq 3 ]; then
    wine32_skip=$(grep -m1 '^install-deps: wine unavailable:' "$wine_log" | sed 's/^install-deps: wine unavailable: //')
    results+=("SKIPPED dependencies: 32-bit Wine ($wine32_skip)")
elif [ "$wine_status" -ne 0 ]; then
    results+=("FAILED  dependencies: wine (status $wine_status)")
    failures=$((failures + 1))
    wine32_skip="Wine could not be installed"
else
    # Installed, but Wine's 32-bit loader is a 32-bit Linux program: some
    # virtual machines cannot execute those at all.
    if wine_out=$(wine --version 2>&1); then
        results+=("ok      dependencies: wine ($wine_out)")
    elif printf '%s' "$wine_out" | grep -q 'Exec format error'; then
        wine32_skip="this machine cannot execute 32-bit programs, so 32-bit Wine cannot run ($(printf '%s' "$wine_out" | head -n 1))"
        results+=("SKIPPED dependencies: 32-bit Wine ($wine32_skip)")
    else
        results+=("FAILED  dependencies: wine (wine --version: $wine_out)")
        failures=$((failures + 1))
        wine32_skip="wine --version failed: $wine_out"
    fi
fi
if [ -n "$wine32_skip" ]; then
    step "dependencies: win64 (64-bit Wine and MinGW)" tools/install-deps.sh win64
fi
step "dependencies: tools" tools/install-deps.sh tools

step "format" tools/format.sh --check

# The native build first, then the win32 programs: the native unit tests read
# the version resource of the win32 build's TallowCore.dll beside them.
step "native: build" configure_and_build native
windows_lane=""
if [ -z "$wine32_skip" ]; then
    step "win32: build" configure_and_build win32
else
    # No Wine test of this build can run here: its programs alone (the
    # product), with the checks that need no Wine.
    step "win32: build (programs)" configure_and_build win32 programs
fi

step "native: tests" run_tests native
# Every remembered and compiled form off: the same tests must give the same
# results reading every statement from the text.
without_fast_paths() { TALLOW_NO_FAST_PATHS=1 run_tests "$@"; }
step "native: tests without fast paths" without_fast_paths native
# The corpus is stored with LF line ends; the engine reads CR LF alike (a
# script that reports its own byte offsets is left out).
with_crlf() { TALLOW_TEST_CRLF=1 run_tests "$@" -R '^(script|extension)\.' -E 'runner_nul_byte'; }
step "native: corpus with CR LF line ends" with_crlf native

if [ -z "$wine32_skip" ]; then
    windows_lane="32-bit Wine: the whole Windows test set in the product's win32 build"
    step "win32: tests under 32-bit Wine" run_tests win32 -LE wine-limit
    wine_limits win32
else
    step "win32: checks without Wine" run_tests win32 -R '^exports$'
    # The same sources as 64-bit programs, where 64-bit Wine runs.
    if step "win64: build" configure_and_build win64; then
        windows_lane="64-bit Wine: the whole Windows test set in the win64 check build ($wine32_skip)"
        step "win64: tests under 64-bit Wine" run_tests win64 -LE wine-limit
        wine_limits win64
    else
        windows_lane="none: the win64 check build failed, and 32-bit Wine cannot run ($wine32_skip)"
    fi
fi

step "native-asan: build and tests" tools/sanitize.sh
step "native-tsan: programs on several threads" tools/tsan.sh
step "bench: quick check" bench/run --quick
step "packages" tools/package.sh
step "fuzz: short runs" tools/fuzz.sh --short

echo "==== summary"
printf '%s\n' "${results[@]}"
echo "test.sh: Windows lane: $windows_lane"
echo "test.sh: $failures of ${#results[@]} steps failed, $SECONDS s in all"
[ "$failures" -eq 0 ]
