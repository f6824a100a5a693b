#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Tallow need; the one
# list of them. Does nothing when all are installed.
#   tools/install-deps.sh [--native]     --native: only what the native build needs
#   tools/install-deps.sh --list         print the packages, one a line
set -euo pipefail

# The native build and its tests: compilers, CMake with Ninja, GoogleTest,
# SQLite (the registry store on Linux), Python for the test drivers.
native_packages=(cmake ninja-build g++ gcc python3 libgtest-dev googletest libsqlite3-dev)
# The 32-bit Windows build, Wine to run its tests, socat for serial-port pairs.
win32_packages=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
                mingw-w64-i686-dev wine wine32:i386 wine64 socat)
# Clang with its runtimes for the fuzz builds; other interpreters that the
# benchmarks compare with.
tool_packages=(clang libclang-rt-dev lua5.4 yabasic brandy bwbasic)

packages=("${native_packages[@]}")
case "${1:-}" in
"") packages+=("${win32_packages[@]}" "${tool_packages[@]}") ;;
--native) ;;
--list)
    printf '%s\n' "${native_packages[@]}" "${win32_packages[@]}" "${tool_packages[@]}"
    exit 0
    ;;
*)
    echo "usage: tools/install-deps.sh [--native | --list]" >&2
    exit 2
    ;;
esac

missing=()
if command -v dpkg-query >/dev/null; then
    for p in "${packages[@]}"; do
        dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null | grep -q '^ii' || missing+=("$p")
    done
else
    missing=("${packages[@]}")
fi
if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: all ${#packages[@]} packages are installed"
    exit 0
fi

if ! command -v apt-get >/dev/null; then
    echo "install-deps: this is no Debian system; Tallow needs these Debian 12 packages:" >&2
    printf '  %s\n' "${missing[@]}" >&2
    exit 1
fi
if [ "$(id -u)" -eq 0 ]; then
    as_root=(env)
elif command -v sudo >/dev/null && { [ -t 0 ] || sudo -n true 2>/dev/null; }; then
    as_root=(sudo env)
else
    echo "install-deps: these packages are missing:" >&2
    printf '  %s\n' "${missing[@]}" >&2
    echo "run tools/install-deps.sh as root (or with sudo) to install them" >&2
    exit 1
fi
apt=("${as_root[@]}" DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300)

echo "install-deps: installing ${missing[*]}"
if printf '%s\n' "${missing[@]}" | grep -q ':i386$' &&
    ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
fi
# A mirror that fails once is given one more chance.
"${apt[@]}" update || { sleep 10; "${apt[@]}" update; }
"${apt[@]}" install -y --no-install-recommends "${missing[@]}"
