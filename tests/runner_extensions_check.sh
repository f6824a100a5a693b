#!/bin/sh
# The runner's extension options: a registered library is listed, a moved one
# is named when a run fails to load it, and --unregister-extension removes it.
#   runner_extensions_check.sh RUNNER EXAMPLE_EXTENSION WORK_DIR
set -eu
runner=$1 extension=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
XDG_CONFIG_HOME=$work/config
export XDG_CONFIG_HOME
cp "$extension" "$work/moved.tlx"
"$runner" --unattended -e "registerextension \"$work/moved.tlx\"" 2>/dev/null
"$runner" --extensions | grep -q "textkit .*moved.tlx (data 0)$"
rm "$work/moved.tlx"
if "$runner" --extensions >/dev/null; then echo "a library that does not load must fail the listing"; exit 1; fi
status=0
"$runner" --unattended -e 'print "x"' >/dev/null 2>"$work/err" || status=$?
test "$status" = 1
grep -q "the extension textkit (registered under Objects) names $work/moved.tlx, which does not load" "$work/err"
"$runner" --unregister-extension textkit
"$runner" --unregister-extension tally
"$runner" --extensions | grep -q "no extension is registered"
if "$runner" --unregister-extension tally 2>/dev/null; then echo "removing twice must fail"; exit 1; fi
echo "runner_extensions_check: listed, named when moved, removed"
