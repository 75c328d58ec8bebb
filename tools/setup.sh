#!/usr/bin/env bash
# Installs what the build and the tests need. Quick when everything is present.
set -euo pipefail

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have_cmd i686-w64-mingw32-g++-posix || need+=(mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix)
have_cmd cmake   || need+=(cmake)
have_cmd ninja   || need+=(ninja-build)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have_pkg libgtest-dev || need+=(libgtest-dev)
have_cmd Xvfb    || need+=(xvfb)
have_cmd xdotool || need+=(xdotool)
have_cmd import  || need+=(imagemagick)
have_cmd wixl    || need+=(wixl)
have_cmd chmcmd  || need+=(fp-utils)
have_cmd clang   || need+=(clang)
have_pkg libclang-rt-14-dev || need+=(libclang-rt-14-dev)
have_cmd python3 || need+=(python3)
have_cmd wine    || need+=(wine)
have_pkg wine32:i386 || need+=(wine32:i386)
# Wine's own Tahoma and MS Sans Serif, so dialogs measure text much as on Windows.
have_pkg fonts-wine || need+=(fonts-wine)

[ ${#need[@]} -eq 0 ] && exit 0

export DEBIAN_FRONTEND=noninteractive
if ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
# A mirror caught mid-sync fails one index; the install below says what is really missing.
apt-get update -qq || echo "setup: some package lists could not be refreshed; trying with the rest" >&2
if ! apt-get install -y -qq --no-install-recommends "${need[@]}"; then
    # Without one architecture's security list, the 32-bit libraries must match
    # the release's own versions: ask for those.
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    apt-get install -y -qq --no-install-recommends -t "$release" "${need[@]}"
fi
