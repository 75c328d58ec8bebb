#!/usr/bin/env bash
# Runs a Windows program under Wine, as ctest's cross-compiling emulator.
#   wine-run.sh PREFIX program.exe [args...]   run a program in PREFIX
#   wine-run.sh PREFIX --stop                  stop the wineserver and the X server started for PREFIX
# The prefix is created once; a persistent wineserver keeps each start near 0.15 s.
# Without a display an Xvfb is started and kept until --stop.
# VELMORA_DPI, when set as a new prefix is made, is that prefix's display scale (96 = 100 %).
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
dpi=${VELMORA_DPI:-96}
screen="$((1280 * dpi / 96))x$((1024 * dpi / 96))"

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
if [ ! -f "$prefix/system.reg" ]; then
    $wine wineboot.exe -i </dev/null >/dev/null 2>&1 || true
    # A virtual desktop, as on Windows: without a window manager every
    # hidden top-level window would otherwise wait two seconds for one.
    $wine reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f </dev/null >/dev/null 2>&1
    $wine reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d "$screen" /f </dev/null >/dev/null 2>&1
    if [ -n "${VELMORA_DPI:-}" ]; then
        $wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$VELMORA_DPI" /f </dev/null >/dev/null 2>&1
    fi
    # Wine's own Tahoma and MS Sans Serif: without them dialogs measure text in a wider font than Windows'.
    if [ -d /usr/share/wine/fonts ]; then
        cp /usr/share/wine/fonts/*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
    fi
    wineserver -k </dev/null >/dev/null 2>&1 || true
    wineserver -w </dev/null >/dev/null 2>&1 || true
fi
# Exit code 0: no server was running, this persistent one is new. Wine's own
# background processes start with the first program; start them here, away
# from the caller's output, which they would otherwise hold open.
if wineserver -p </dev/null >/dev/null 2>&1 9>&-; then
    $wine wineboot.exe </dev/null >/dev/null 2>&1 || true
fi
flock -u 9
exec 9>&-

exec $wine "$@"
