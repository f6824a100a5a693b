#!/usr/bin/env bash
# Builds the native-asan preset (AddressSanitizer and UndefinedBehaviorSanitizer)
# and runs every unit test and the whole script corpus under it; any report
# stops the process at once and fails the test.
#   tools/sanitize.sh
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
jobs=$(nproc 2>/dev/null || echo 2)
cmake --preset native-asan && cmake --build --preset native-asan --parallel "$jobs" || exit 1
export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:abort_on_error=0:allocator_may_return_null=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
export LSAN_OPTIONS=suppressions=$PWD/tools/lsan.supp:print_suppressions=0
ctest --preset native-asan --no-tests=error
