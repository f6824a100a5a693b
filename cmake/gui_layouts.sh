#!/bin/sh
# The places TallowEdit starts from besides the build tree, laid out from a
# Windows build as the packages lay them out: the tree the Windows installer
# installs (cmake --install, as CPack does) and the Debian packages' trees
# (tallowedit's files, and the documents of the tallow package it needs).
#   gui_layouts.sh BUILD SOURCE INSTALLED_ROOT DEBIAN_ROOT
set -eu
build=$1 source=$2 installed=$3 debian=$4
rm -rf "$installed"
cmake --install "$build" --prefix "$installed" >/dev/null
sh "$source/cmake/tallowedit_deb.sh" stage "$build" "$source" "$debian"
mkdir -p "$debian/usr/share/doc/tallow"
cp -R "$installed/share/doc/tallow/." "$debian/usr/share/doc/tallow/"
echo "gui_layouts: $installed and $debian"
