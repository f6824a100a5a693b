#!/usr/bin/env bash
# The demo command: installs what the native build needs, builds every
# program a user runs (the `programs` target: everything `cmake --install`
# installs), runs examples/hello.tal and says where the programs are and
# what to try next.
#   tools/demo.sh
set -euo pipefail
cd "$(dirname "$0")/.."

tools/install-deps.sh --native
cmake --preset native
cmake --build --preset native --parallel "$(nproc 2>/dev/null || echo 2)" --target programs
echo
echo "==== build/native/tallow examples/hello.tal"
build/native/tallow examples/hello.tal
cat <<'TEXT'

==== Built in build/native:
  tallow            the runner: runs scripts (.tal) and code files (.cod)
  tallowcod         packs a script and its dialogs (.rc) into a code file
  tallowmake        makes a stand-alone program of a code file (with tallowstub)
  libtallowgui.so   the desktop module: boxes and dialogs as windows (GTK)
  docs/guide/index.html and docs/reference/index.html: the guide and the reference

==== Try next:
  build/native/tallow -e 'print "two and two make " + str(2 + 2) + 10'
  build/native/tallow                  an interactive prompt; exit leaves it
  xdg-open build/native/docs/guide/index.html
  sudo cmake --install build/native    installs them all below /usr/local
TEXT
