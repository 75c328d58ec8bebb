#!/usr/bin/env bash
# Installs what the build and the tests need. Quick when everything is present.
# Ends by saying, in one line, whether this machine runs 32-bit programs.
set -euo pipefail
cd "$(dirname "$0")"

runs_32bit=no
./runs-32bit.sh && runs_32bit=yes

need=()
have_cmd() { command -v "$1" >/dev/null 2>&1; }
have_pkg() { dpkg-query -W -f='${Status}' "$1" 2>/dev/null | grep -q 'install ok installed'; }

have_cmd i686-w64-mingw32-g++-posix || need+=(mingw-w64 g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix)
have_cmd cmake   || need+=(cmake)
# Rebuilds of the three configurations reuse earlier compilations.
have_cmd ccache  || need+=(ccache)
have_cmd ninja   || need+=(ninja-build)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
have_pkg libgtest-dev || need+=(libgtest-dev)
have_cmd Xvfb    || need+=(xvfb)
have_cmd xdotool || need+=(xdotool)
have_cmd import  || need+=(imagemagick)
have_cmd wixl    || need+=(wixl)
have_cmd msiinfo || need+=(msitools)
have_cmd chmcmd  || need+=(fp-utils)
have_cmd clang   || need+=(clang)
have_pkg libclang-rt-14-dev || need+=(libclang-rt-14-dev)
have_cmd python3 || need+=(python3)
have_cmd wine    || need+=(wine)
have_pkg wine64  || need+=(wine64)
# The 32-bit Wine only where 32-bit programs run: elsewhere its libraries'
# post-install steps fail and would leave every later install half done.
if [ $runs_32bit = yes ]; then
    have_pkg wine32:i386 || need+=(wine32:i386)
fi
# Wine's own Tahoma and MS Sans Serif, so dialogs measure text much as on Windows.
have_pkg fonts-wine || need+=(fonts-wine)

say_32bit() {
    if [ $runs_32bit = yes ]; then
        echo "setup: this machine runs 32-bit programs: the 32-bit and the 64-bit builds are tested"
    else
        echo "setup: this machine cannot run 32-bit programs (the kernel refuses i386 executables): only the 64-bit build is tested, the 32-bit one is built"
    fi
}

if [ ${#need[@]} -eq 0 ]; then
    say_32bit
    exit 0
fi

export DEBIAN_FRONTEND=noninteractive
if [ $runs_32bit = yes ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    dpkg --add-architecture i386
fi
# A mirror caught mid-sync fails one index; the install below says what is really missing.
apt-get update -qq || echo "setup: some package lists could not be refreshed; trying with the rest" >&2

# A library built for both architectures (Multi-Arch: same) must have one
# version on both. When one architecture's list is behind the other's, the
# newest candidates disagree; this prints "name:arch=version" for each package
# named in apt's complaint, at the newest version both architectures have.
agreeing_versions() {
    grep -oE '[a-z0-9][a-z0-9.+-]+(:(amd64|i386))?' <<<"$1" | sed 's/:.*//' | sort -u |
    while read -r name; do
        common=$(comm -12 <(apt-cache madison "$name" 2>/dev/null | awk -F'|' '/amd64|all/ {gsub(/ /,"",$2); print $2}' | sort -u) \
                          <(apt-cache madison "$name:i386" 2>/dev/null | awk -F'|' '{gsub(/ /,"",$2); print $2}' | sort -u) |
                 sort -V | tail -n 1)
        [ -n "$common" ] || continue
        amd64=$(apt-cache policy "$name:amd64" 2>/dev/null | awk '/Candidate:/ {print $2}')
        i386=$(apt-cache policy "$name:i386" 2>/dev/null | awk '/Candidate:/ {print $2}')
        [ "$amd64" = "$i386" ] && continue
        echo "$name:amd64=$common"
        echo "$name:i386=$common"
    done
}

install=("${need[@]}")
for attempt in 1 2 3 4 5; do
    if complaint=$(apt-get install -s -qq --no-install-recommends "${install[@]}" 2>&1); then
        break
    fi
    pins=$(agreeing_versions "$complaint")
    [ -n "$pins" ] || break
    mapfile -t -O ${#install[@]} install <<<"$pins"
    # The later pin of a package wins; keep one of each.
    mapfile -t install < <(printf '%s\n' "${install[@]}" | tac | awk -F'[:=]' '!seen[$1 ":" $2]++' | tac)
    echo "setup: pinning $(wc -l <<<"$pins") multi-arch packages to versions both architectures have (attempt $attempt)" >&2
done
if ! apt-get install -y -qq --no-install-recommends "${install[@]}"; then
    # Without one architecture's security list, the 32-bit libraries must match
    # the release's own versions: ask for those.
    release=$(. /etc/os-release && echo "$VERSION_CODENAME")
    apt-get install -y -qq --no-install-recommends -t "$release" "${need[@]}"
fi
say_32bit
