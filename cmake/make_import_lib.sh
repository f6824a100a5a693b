#!/bin/sh
# Builds an import library for a DLL linked with --kill-at: the exports are
# undecorated, but callers refer to the decorated __stdcall names.
#   make_import_lib.sh DLLTOOL linker-output.def import-library
set -eu
dlltool=$1 def=$2 lib=$3
imp=$def.imp
{
  echo "LIBRARY TallowCore.dll"
  echo "EXPORTS"
  sed -n 's/^ *[A-Za-z0-9_]* = \([A-Za-z0-9_@]*\) @.*/    \1/p' "$def"
  # Exports that carry no decoration stand alone in the .def file.
  sed -n 's/^ *\([A-Za-z0-9_]*\) @[0-9]*.*/    \1/p' "$def"
} >"$imp"
"$dlltool" -k -d "$imp" -l "$lib"
