#!/bin/sh
# The tallowedit Debian package: TallowEdit and the Windows programs it
# starts (the launcher, the runner, TallowMake and its stub, the engine),
# run under Wine, with a command, a desktop entry and icons. The reference
# and the guide it opens come with the tallow package, which it depends on.
#   tallowedit_deb.sh stage WINDOWS_BUILD SOURCE ROOT   the package's files below ROOT
#   tallowedit_deb.sh build WINDOWS_BUILD SOURCE OUT    OUT/tallowedit_VERSION_all.deb
set -eu
mode=$1 build=$2 source=$3 target=$4
version=$(sed -n 's/^project(Tallow VERSION \([0-9.]*\).*/\1/p' "$source/CMakeLists.txt")
lib=usr/lib/tallowedit

stage() {
    root=$1
    rm -rf "$root"
    mkdir -p "$root/$lib" "$root/usr/bin" "$root/usr/share/applications" "$root/usr/share/man/man1" \
        "$root/usr/share/doc/tallowedit" "$root/usr/share/icons/hicolor/48x48/apps" \
        "$root/usr/share/icons/hicolor/256x256/apps"
    for program in ide/win32/TallowEdit.exe tallowrun.exe tallow.exe TallowCore.dll TallowMake.exe TallowStub.exe; do
        [ -f "$build/$program" ] || { echo "tallowedit_deb: $build/$program is not built" >&2; exit 1; }
        # Wine needs no execute bit, and Debian's checks take one on a file
        # that is neither ELF nor a script as a fault.
        install -m 644 "$build/$program" "$root/$lib/"
    done
    cat >"$root/usr/bin/tallowedit" <<'SCRIPT'
#!/bin/sh
# TallowEdit under Wine; a file named on the command line is handed over as
# a Windows path.
if [ $# -gt 0 ]; then
    file=$(winepath -w -- "$1" 2>/dev/null) || file=$1
    shift
    exec wine /usr/lib/tallowedit/TallowEdit.exe "$file" "$@"
fi
exec wine /usr/lib/tallowedit/TallowEdit.exe
SCRIPT
    chmod 755 "$root/usr/bin/tallowedit"
    cat >"$root/usr/share/applications/tallowedit.desktop" <<'ENTRY'
[Desktop Entry]
Type=Application
Name=TallowEdit
GenericName=Tallow development environment
Comment=Write Tallow programs and design their dialogs
Exec=tallowedit %f
Icon=tallowedit
Terminal=false
Categories=Development;IDE;
MimeType=application/x-tallow-code;
ENTRY
    install -m 644 "$source/ide/win32/icons/tallowedit-48.png" "$root/usr/share/icons/hicolor/48x48/apps/tallowedit.png"
    install -m 644 "$source/ide/win32/icons/tallowedit-256.png" \
        "$root/usr/share/icons/hicolor/256x256/apps/tallowedit.png"
    gzip -9nc "$source/docs/tallowedit.1" >"$root/usr/share/man/man1/tallowedit.1.gz"
    install -m 644 "$source/docs/copyright" "$root/usr/share/doc/tallowedit/copyright"
    gzip -9nc "$source/docs/changelog" >"$root/usr/share/doc/tallowedit/changelog.gz"
    chmod 644 "$root/usr/share/doc/tallowedit/changelog.gz" "$root/usr/share/man/man1/tallowedit.1.gz"
}

case $mode in
stage)
    stage "$target"
    ;;
build)
    work=$(mktemp -d)
    trap 'rm -rf "$work"' EXIT
    stage "$work/root"
    mkdir -p "$work/root/DEBIAN"
    size=$(du -sk "$work/root" | cut -f1)
    cat >"$work/root/DEBIAN/control" <<CONTROL
Package: tallowedit
Version: $version
Architecture: all
Maintainer: Tallow developers <maintainers@tallow.invalid>
Installed-Size: $size
Depends: wine, wine32, tallow (= $version)
Section: devel
Priority: optional
Homepage: https://tallow.invalid/
Description: development environment for the Tallow scripting language
 TallowEdit is the Windows development environment of Tallow: a code
 editor and a dialog designer that save a program and its dialogs as one
 code file, run it, and build stand-alone executables. This package runs
 it under Wine, with a desktop entry and the programs it starts.
CONTROL
    mkdir -p "$target"
    dpkg-deb --root-owner-group --build "$work/root" "$target/tallowedit_${version}_all.deb" >/dev/null
    echo "$target/tallowedit_${version}_all.deb"
    ;;
*)
    echo "usage: tallowedit_deb.sh stage|build WINDOWS_BUILD SOURCE TARGET" >&2
    exit 2
    ;;
esac
