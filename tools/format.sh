#!/usr/bin/env bash
# Applies the house style (.clang-format) to every C and C++ source, or with
# --check only lists the files that differ from it and fails if any does.
#   tools/format.sh [--check]
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
mapfile -t files < <(git ls-files '*.c' '*.cpp' '*.h')
if [ "${1:-}" = "--check" ]; then
    bad=0
    for f in "${files[@]}"; do
        if ! clang-format --dry-run -Werror "$f" >/dev/null 2>&1; then
            echo "format.sh: $f differs from .clang-format (run tools/format.sh)"
            bad=1
        fi
    done
    exit "$bad"
fi
clang-format -i "${files[@]}"
