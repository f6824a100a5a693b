#!/usr/bin/env bash
# The demo command: installs what the native build needs, builds the native
# runner and runs examples/hello.tal with it.
#   tools/demo.sh
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --native
cmake --preset native
cmake --build --preset native --parallel "$(nproc 2>/dev/null || echo 2)" --target tallow
echo
echo "==== build/native/tallow examples/hello.tal"
build/native/tallow examples/hello.tal
