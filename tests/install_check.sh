#!/bin/sh
# Installs Tallow into a fresh prefix and builds the example host against the
# installed tree twice, through find_package(Tallow) and through pkg-config;
# both hosts, the installed runner and a program tallowmake builds must run.
#   install_check.sh BUILD_DIR SOURCE_DIR WORK_DIR
set -eu
build=$1 source=$2 work=$3
rm -rf "$work"
mkdir -p "$work"
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null

cmake -S "$source/tests/install" -B "$work/consumer" -G Ninja -DCMAKE_PREFIX_PATH="$prefix" \
    -DEXAMPLE_HOST="$source/examples/host/host.c" >/dev/null
cmake --build "$work/consumer" >/dev/null
LD_LIBRARY_PATH=$prefix/lib "$work/consumer/consumer_host" --unattended | grep -q "second run: exit code 3"

PKG_CONFIG_PATH=$prefix/lib/pkgconfig
export PKG_CONFIG_PATH
cc -o "$work/pc_host" "$source/examples/host/host.c" $(pkg-config --cflags --libs tallow)
LD_LIBRARY_PATH=$prefix/lib "$work/pc_host" --unattended | grep -q "second run: exit code 3"

test "$(echo 'print "installed"' | "$prefix/bin/tallow")" = installed
test -f "$prefix/share/man/man1/tallow.1.gz"
# Where tallow(1) says the reference and the guide are.
test -f "$prefix/share/doc/tallow/reference/index.html"
test -f "$prefix/share/doc/tallow/reference/search.js"
test -f "$prefix/share/doc/tallow/guide/index.html"
# tallowmake finds the installed stub below the prefix, and what it builds
# runs without the library beside it.
echo 'print "built " + argv$[1]' > "$work/built.tal"
"$prefix/bin/tallowcod" pack "$work/built.tal" -o "$work/built.cod" >/dev/null
"$prefix/bin/tallowmake" "$work/built.cod" -o "$work/built"
test "$(env -u LD_LIBRARY_PATH "$work/built" alone)" = "built alone"
echo "install_check: the installed tree builds and runs hosts through both"
