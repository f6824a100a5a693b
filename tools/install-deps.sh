#!/usr/bin/env bash
# Installs the Debian 12 packages that building and testing Tallow need; the one
# list of them. Does nothing for a group whose packages are all installed.
#   tools/install-deps.sh [GROUP...]   GROUP: native, win32, wine, tools (default: all four, in that order),
#                                      or win64 (asked for by name only)
#   tools/install-deps.sh --native     the same as: tools/install-deps.sh native
#   tools/install-deps.sh --list       print the packages, one a line
# Each group is installed on its own, so a broken package index of one
# architecture cannot keep the others from being installed.
# Exit status: 0 when every group is installed; 3 when only Wine is missing
# because Debian's i386 package index cannot be read (the cause is printed on
# a line starting with "install-deps: wine unavailable:"); 1 otherwise. In
# that case the win64 group is installed instead, so that TallowEdit's window
# tests can still run in the 64-bit check build; its failure is printed but
# leaves the status 3.
set -uo pipefail

# The native build and its tests: compilers, CMake with Ninja, GoogleTest,
# SQLite (the registry store on Linux), Python for the test drivers, pkg-config
# for the check of the installed tree, libedit for line editing at the prompt,
# libffi for the calls that scripts declare into any library, sd-bus
# (libsystemd) for ddeclient and dbus-daemon for its tests; GTK 3 and XTest
# for the desktop module, and Xvfb, xdotool, openbox and ImageMagick for its tests on
# a private display (answering windows, taking screenshots).
native_packages=(cmake ninja-build g++ gcc python3 libgtest-dev googletest libsqlite3-dev pkg-config libedit-dev libffi-dev
                 libsystemd-dev dbus-daemon libgtk-3-dev libxtst-dev xvfb xdotool openbox imagemagick)
# The 32-bit Windows build (the MinGW compilers are amd64 packages) and socat
# for serial-port pairs.
win32_packages=(g++-mingw-w64-i686-posix gcc-mingw-w64-i686-posix binutils-mingw-w64-i686
                mingw-w64-i686-dev socat)
# Wine, which runs the win32 tests; its 32-bit half comes from the i386 archive.
wine_packages=(wine wine32:i386 wine64)
# The 64-bit Windows check build and the 64-bit Wine alone, for machines where
# 32-bit Wine cannot be installed or run.
win64_packages=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix binutils-mingw-w64-x86-64
                mingw-w64-x86-64-dev wine wine64)
# Clang with its runtimes for the fuzz builds, clang-format for the house
# style, the other interpreters that the benchmarks compare with, dpkg-dev,
# lintian and makensis for the packages, Node.js for the test of the
# reference's search page and Ansible for the guide's playbook.
tool_packages=(clang clang-format libclang-rt-dev lua5.4 yabasic brandy bwbasic dpkg-dev lintian nsis nodejs
               ansible-core)

groups=()
for arg in "$@"; do
    case "$arg" in
    --native) groups+=(native) ;;
    native | win32 | wine | tools | win64) groups+=("$arg") ;;
    --list)
        printf '%s\n' "${native_packages[@]}" "${win32_packages[@]}" "${wine_packages[@]}" "${tool_packages[@]}" \
            "${win64_packages[@]}"
        exit 0
        ;;
    *)
        echo "usage: tools/install-deps.sh [native | win32 | wine | tools | win64]... | --native | --list" >&2
        exit 2
        ;;
    esac
done
[ ${#groups[@]} -eq 0 ] && groups=(native win32 wine tools)

# missing NAME...: prints the packages of the list that are not installed.
missing() {
    local p
    for p in "$@"; do
        if ! command -v dpkg-query >/dev/null ||
            ! dpkg-query -W -f='${db:Status-Abbrev}' "$p" 2>/dev/null | grep -q '^ii'; then
            echo "$p"
        fi
    done
}

as_root=()
root_ready() {
    if [ "$(id -u)" -eq 0 ]; then
        as_root=(env)
    elif command -v sudo >/dev/null && { [ -t 0 ] || sudo -n true 2>/dev/null; }; then
        as_root=(sudo env)
    else
        return 1
    fi
}

update_log=$(mktemp)
trap 'rm -f "$update_log"' EXIT
updated=no
apt_update() {
    [ "$updated" = yes ] && return 0
    updated=yes
    local apt=("${as_root[@]}" DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300)
    # A mirror that fails once is given one more chance. A failure that
    # remains is not fatal here: the install that needs the index fails.
    "${apt[@]}" update 2>&1 | tee "$update_log" || true
    if grep -q '^E:' "$update_log"; then
        sleep 10
        "${apt[@]}" update 2>&1 | tee "$update_log" || true
    fi
}

# The apt error that says Debian's i386 index could not be read, if any.
broken_i386_index() {
    grep -E '^(E|Err|W):.*binary-i386/Packages' "$update_log" | head -n 1
}

install_group() {
    local group=$1 list=()
    case "$group" in
    native) list=("${native_packages[@]}") ;;
    win32) list=("${win32_packages[@]}") ;;
    wine) list=("${wine_packages[@]}") ;;
    tools) list=("${tool_packages[@]}") ;;
    win64) list=("${win64_packages[@]}") ;;
    esac
    local todo
    mapfile -t todo < <(missing "${list[@]}")
    if [ ${#todo[@]} -eq 0 ]; then
        echo "install-deps: $group: all ${#list[@]} packages are installed"
        return 0
    fi
    if ! command -v apt-get >/dev/null; then
        echo "install-deps: $group: this is no Debian system; Tallow needs these Debian 12 packages:" >&2
        printf '  %s\n' "${todo[@]}" >&2
        return 1
    fi
    if ! root_ready; then
        echo "install-deps: $group: these packages are missing:" >&2
        printf '  %s\n' "${todo[@]}" >&2
        echo "run tools/install-deps.sh as root (or with sudo) to install them" >&2
        return 1
    fi
    if printf '%s\n' "${todo[@]}" | grep -q ':i386$' && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${as_root[@]}" dpkg --add-architecture i386
        updated=no
    fi
    apt_update
    echo "install-deps: $group: installing ${todo[*]}"
    "${as_root[@]}" DEBIAN_FRONTEND=noninteractive apt-get -o DPkg::Lock::Timeout=300 \
        install -y --no-install-recommends "${todo[@]}"
}

status=0
for group in "${groups[@]}"; do
    install_group "$group" && continue
    cause=""
    [ "$group" = wine ] && cause=$(broken_i386_index)
    if [ -n "$cause" ]; then
        echo "install-deps: wine unavailable: Debian's i386 package index cannot be read ($cause)" >&2
        [ "$status" -eq 0 ] && status=3
        echo "install-deps: wine: installing 64-bit Wine alone and the 64-bit MinGW compilers instead"
        install_group win64 || echo "install-deps: win64: the packages could not be installed" >&2
    else
        echo "install-deps: $group: the packages could not be installed" >&2
        status=1
    fi
done
exit "$status"
