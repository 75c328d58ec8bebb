#!/usr/bin/env bash
# Installs the freshly built Velmora.msi into the project's Wine prefix and starts
# Velmora from its installed folder in a Wine virtual desktop (with a taskbar
# and a notification area). With no display it runs inside Xvfb, writes a
# screenshot and keeps running until Enter.
#   run.sh BUILD_FOLDER   (build/win32 or build/win64)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd)
prefix=$build/wineprefix
wine_run() { "$root/tools/wine-run.sh" "$prefix" "$@"; }
package="Z:$(echo "$build/Velmora.msi" | tr / '\\')"

# Each package replaces the installed one of the same or an older version.
wine_run msiexec /i "$package" /qn
folder='C:\Program Files\Velmora'
# A 32-bit package on 64-bit Windows.
if [ -d "$prefix/drive_c/Program Files (x86)/Velmora" ]; then
    folder='C:\Program Files (x86)\Velmora'
fi
echo "Velmora is installed in $folder"
start=(explorer /desktop=Velmora,1024x768 "$folder\\Velmora.exe")

if [ -n "${DISPLAY:-}" ]; then
    exec "$root/tools/wine-run.sh" "$prefix" "${start[@]}"
fi
wine_run "${start[@]}" &
program=$!
sleep 8
shot=$root/build/velmora.png
# The virtual desktop sits in the top-left corner of the X screen.
import -display "$(cat "$prefix.state/display")" -window root -crop 1024x768+0+0 +repage "$shot"
echo "Screenshot of the running program: $shot"
read -r -p "Velmora runs in a virtual X display; press Enter to end it. " || true
kill "$program" 2>/dev/null || true
wine_run --stop
