#!/usr/bin/env bash
# The project's test command: installs the dependencies, builds both targets
# and runs every test of both. Every step runs even after an earlier one failed;
# the exit status is non-zero when any step failed.
#   tools/test.sh
# TALLOW_BUILD_PREFIX=build/me- puts the build folders at build/me-native and
# build/me-win32 instead of the presets' build/native and build/win32.
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

run_tests() {
    if [ -n "${TALLOW_BUILD_PREFIX:-}" ]; then
        ctest --test-dir "$(build_dir "$1")" --output-on-failure --parallel 4 --timeout 300 --no-tests=error
    else
        ctest --preset "$1" --no-tests=error
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

step "dependencies" tools/install-deps.sh || {
    echo "test.sh: the dependencies are not installed; nothing was built" >&2
    exit 1
}

build_and_test native
build_and_test win32
optional tools/sanitize.sh          # the native-asan preset: build and tests
optional bench/run --quick          # quick benchmark run
optional tools/fuzz.sh --short      # short fuzz runs

echo "==== summary"
printf '%s\n' "${results[@]}"
echo "test.sh: $failures of ${#results[@]} steps failed, $SECONDS s in all"
[ "$failures" -eq 0 ]
