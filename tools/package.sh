#!/usr/bin/env bash
# Builds the packages and checks them: the Debian package from the
# native-release preset (its contents, and lintian without errors), the NSIS
# installer for Windows from the win32 preset (built with makensis), and the
# tallowedit Debian package (TallowEdit under Wine) from the same win32 build.
#   tools/package.sh
set -uo pipefail
cd "$(dirname "$0")/.." || exit 1
jobs=$(nproc 2>/dev/null || echo 2)
status=0

cmake --preset native-release >/dev/null && cmake --build --preset native-release --parallel "$jobs" >/dev/null || exit 1
(cd build/native-release && rm -rf packages && cpack -G DEB >/dev/null) || exit 1
deb=$(ls build/native-release/packages/tallow_*.deb)
contents=$(dpkg-deb --contents "$deb")
for path in usr/bin/tallow usr/lib/libtallowcore.so.0 usr/include/tallow.h usr/lib/pkgconfig/tallow.pc \
    usr/lib/cmake/Tallow/TallowConfig.cmake usr/share/man/man1/tallow.1.gz usr/share/doc/tallow/copyright; do
    if ! grep -q " \./$path" <<<"$contents"; then
        echo "package.sh: $deb lacks $path" >&2
        status=1
    fi
done
dpkg-deb --field "$deb" Depends | grep -q libsqlite3-0 || { echo "package.sh: Depends lacks libsqlite3-0" >&2; status=1; }
if command -v lintian >/dev/null; then
    lintian --allow-root "$deb" | tee build/native-release/packages/lintian.txt
    if grep -q "^E:" build/native-release/packages/lintian.txt; then status=1; fi
else
    echo "package.sh: lintian is not installed; the Debian package was not checked by it" >&2
    status=1
fi
echo "package.sh: $deb"

# The installer holds the programs only; the tests need not be built for it.
cmake --preset win32 >/dev/null && cmake --build --preset win32 --parallel "$jobs" --target programs >/dev/null || exit 1
(cd build/win32 && rm -rf packages && cpack -G NSIS >/dev/null) || status=1
ls build/win32/packages/tallow-*-win32.exe 2>/dev/null || { echo "package.sh: no NSIS installer" >&2; status=1; }
# The installer carries TallowEdit with its Start menu and desktop entries.
nsi=$(ls build/win32/_CPack_Packages/*/NSIS/project.nsi 2>/dev/null | head -n 1)
for needed in TallowEdit.exe DESKTOP DefaultIcon HKCR; do
    if [ -z "$nsi" ] || ! grep -q "$needed" "$nsi"; then
        echo "package.sh: the installer's script lacks $needed" >&2
        status=1
    fi
done

edit_deb=$(sh cmake/tallowedit_deb.sh build build/win32 . build/win32/packages) || status=1
if [ -n "$edit_deb" ]; then
    edit_contents=$(dpkg-deb --contents "$edit_deb")
    for path in usr/bin/tallowedit usr/lib/tallowedit/TallowEdit.exe usr/lib/tallowedit/tallowrun.exe \
        usr/lib/tallowedit/TallowMake.exe usr/lib/tallowedit/TallowStub.exe usr/share/applications/tallowedit.desktop \
        usr/share/icons/hicolor/48x48/apps/tallowedit.png usr/share/doc/tallowedit/copyright; do
        if ! grep -q " \./$path" <<<"$edit_contents"; then
            echo "package.sh: $edit_deb lacks $path" >&2
            status=1
        fi
    done
    dpkg-deb --field "$edit_deb" Depends | grep -q wine || { echo "package.sh: tallowedit does not depend on Wine" >&2; status=1; }
    if command -v lintian >/dev/null; then
        lintian --allow-root "$edit_deb" | tee build/win32/packages/lintian.txt
        if grep -q "^E:" build/win32/packages/lintian.txt; then status=1; fi
    fi
    echo "package.sh: $edit_deb"
fi
exit "$status"
