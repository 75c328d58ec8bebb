#!/usr/bin/env bash
# Runs a Windows program under Wine, as ctest's cross-compiling emulator.
#   wine-run.sh PREFIX program.exe [args...]   run a program in PREFIX
#   wine-run.sh PREFIX --make                  make PREFIX (when it is not made yet) and start nothing in it
#   wine-run.sh PREFIX --stop                  stop the wineserver and the X server started for PREFIX
# A prefix is a copy of its build folder's pristine one, made again only when
# what it was made from changes; a persistent wineserver keeps each start near 0.15 s.
# Without a display an Xvfb is started and kept until --stop.
# VELMORA_DPI is the prefix's display scale (96 = 100 %); a prefix run at another is made anew.
set -euo pipefail

prefix=$1; shift
# The servers started here outlive this run: they must not keep the caller's
# open files (a lock, a pipe) beyond it.
for fd in $(ls /proc/$$/fd); do
    [ "$fd" -gt 2 ] && eval "exec $fd>&-"
done
export WINEPREFIX=$prefix
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
export LANG=C.UTF-8
# Every prefix is a 64-bit one, as on today's Windows; 32-bit programs run in
# its 32-bit half where this machine runs 32-bit code at all.
export WINEARCH=win64
# Debian's wine starts the 32-bit loader whenever it is installed, even where
# the kernel cannot run it; there the 64-bit loader is started directly.
wine=wine
if [ -x /usr/lib/wine/wine64 ] && ! "$(dirname "$0")/runs-32bit.sh"; then
    wine=/usr/lib/wine/wine64
    export WINELOADER=$wine
fi
state=$prefix.state
mkdir -p "$state"

if [ "${1:-}" = "--stop" ]; then
    wineserver -k 2>/dev/null || true
    if [ -f "$state/xvfb.pid" ]; then
        kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
        rm -f "$state/xvfb.pid" "$state/display"
    fi
    exit 0
fi

# The screen grows with the scale, so that it holds as much as at 100 %.
base_dpi=96
dpi=${VELMORA_DPI:-$base_dpi}
screen_at() { echo "$((1280 * $1 / base_dpi))x$((1024 * $1 / base_dpi))"; }
screen=$(screen_at "$dpi")

# One set-up at a time when ctest runs in parallel.
exec 9>"$state/lock"
flock 9
if [ -z "${DISPLAY:-}" ]; then
    if [ -f "$state/display" ] && kill -0 "$(cat "$state/xvfb.pid" 2>/dev/null)" 2>/dev/null; then
        export DISPLAY=$(cat "$state/display")
    else
        for n in $(seq 90 140); do
            [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
            Xvfb ":$n" -screen 0 "${screen}x24" -nolisten tcp </dev/null >/dev/null 2>&1 9>&- &
            echo $! >"$state/xvfb.pid"
            for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done
            echo ":$n" >"$state/display"
            break
        done
        export DISPLAY=$(cat "$state/display")
    fi
fi
# What a prefix is made from; a prefix made from anything else is made anew.
prefix_inputs() {
    $wine --version
    # The 32-bit half needs a prefix made after it is installed.
    ls /usr/lib/wine
    ls -l /usr/share/wine/fonts 2>/dev/null | md5sum
    # These steps themselves.
    md5sum <"$0"
    echo "scale $1"
}

# A pristine prefix per build folder, never run: the prefixes of the folder are
# copies of it, so each costs a copy instead of a wineboot.
base=$(dirname "$prefix")/wineprefix-base
make_base() {
    rm -rf "$base"
    WINEPREFIX=$base $wine wineboot.exe -i </dev/null >/dev/null 2>&1 || true
    # A virtual desktop, as on Windows: without a window manager every
    # hidden top-level window would otherwise wait two seconds for one.
    set_registry "$base" "Software\\Wine\\Explorer" Desktop Default \
        "Software\\Wine\\Explorer\\Desktops" Default "$(screen_at $base_dpi)"
    # Wine's own Tahoma and MS Sans Serif: without them dialogs measure text in a wider font than Windows'.
    if [ -d /usr/share/wine/fonts ]; then
        cp /usr/share/wine/fonts/*.ttf "$base/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    prefix_inputs $base_dpi >"$base/velmora-inputs"
}

# set_registry PREFIX KEY NAME VALUE [KEY NAME VALUE...]: string values under
# HKEY_CURRENT_USER, a dword where VALUE is dword:…, in one start of Wine.
set_registry() {
    local target=$1; shift
    local file=$target/drive_c/velmora-settings.reg
    echo "Windows Registry Editor Version 5.00" >"$file"
    while [ $# -ge 3 ]; do
        local value="\"$3\""
        [[ $3 == dword:* ]] && value=$3
        printf '\n[HKEY_CURRENT_USER\\%s]\n"%s"=%s\n' "$1" "$2" "$value" >>"$file"
        shift 3
    done
    WINEPREFIX=$target $wine reg import 'C:\velmora-settings.reg' </dev/null >/dev/null 2>&1
    rm -f "$file"
    WINEPREFIX=$target wineserver -k </dev/null >/dev/null 2>&1 || true
    WINEPREFIX=$target wineserver -w </dev/null >/dev/null 2>&1 || true
}

if ! cmp -s <(prefix_inputs "$dpi") "$prefix/velmora-inputs"; then
    wineserver -k </dev/null >/dev/null 2>&1 || true
    rm -rf "$prefix"
    exec 8>"$base.lock"
    flock 8
    cmp -s <(prefix_inputs $base_dpi) "$base/velmora-inputs" || make_base
    # The system folders' files are never written after wineboot: hard links
    # share them; everything else (registry, profile, Program Files) is copied.
    shared=(drive_c/windows/system32 drive_c/windows/syswow64 drive_c/windows/winsxs)
    mkdir -p "$prefix"
    tar -C "$base" "${shared[@]/#/--exclude=./}" -cf - . | tar -C "$prefix" -xf -
    for folder in "${shared[@]}"; do
        [ -d "$base/$folder" ] && cp -al "$base/$folder" "$prefix/$folder"
    done
    flock -u 8
    exec 8>&-
    if [ "$dpi" != $base_dpi ]; then
        set_registry "$prefix" "Control Panel\\Desktop" LogPixels "dword:$(printf '%08x' "$dpi")" \
            "Software\\Wine\\Explorer\\Desktops" Default "$screen"
    fi
    prefix_inputs "$dpi" >"$prefix/velmora-inputs"
fi
[ "${1:-}" = --make ] && exit 0
# Exit code 0: no server was running, this persistent one is new. Wine's own
# background processes start with the first program; start them here, away
# from the caller's output, which they would otherwise hold open.
if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
    $wine wineboot.exe </dev/null >/dev/null 2>&1 || true
fi
flock -u 9
exec 9>&-

exec $wine "$@"
