#!/usr/bin/env bash
# Builds the packages and checks them: the Debian package from the
# native-release preset (its contents, and lintian without errors) and the
# NSIS installer for Windows from the win32 preset (built with makensis).
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
exit "$status"
