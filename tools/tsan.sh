#!/usr/bin/env bash
# Builds the unit tests in the native-tsan preset (ThreadSanitizer) and runs
# the ones that run several programs on several threads at once through the
# embedding API; any report fails the run.
#   tools/tsan.sh [GTEST-FILTER]      (default: Threads.*)
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset native-tsan >/dev/null &&
    cmake --build --preset native-tsan --target tallow_unit_tests --parallel "$jobs" || exit 1
# A report ends the process with status 66, so the step fails on the first one.
export TSAN_OPTIONS=halt_on_error=1:exitcode=66:second_deadlock_stack=1
build/native-tsan/tests/tallow_unit_tests --gtest_filter="${1:-Threads.*}"
