#!/usr/bin/env bash
# Starts Velmora's main window under Wine, with settings.dat in build/win32/run.
# With no display it runs inside Xvfb, writes a screenshot and keeps running until Enter.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
prefix=$root/build/win32/wineprefix
host=$root/build/win32/tests/main_window_host.exe
data=$root/build/win32/run
mkdir -p "$data"
folder="Z:$(echo "$data" | tr / '\\')"

if [ -n "${DISPLAY:-}" ]; then
    exec "$root/tools/wine-run.sh" "$prefix" "$host" "$folder"
fi
"$root/tools/wine-run.sh" "$prefix" "$host" "$folder" &
program=$!
sleep 8
shot=$root/build/velmora.png
import -display "$(cat "$prefix.state/display")" -window root "$shot"
echo "Screenshot of the running program: $shot"
read -r -p "Velmora runs in a virtual X display; press Enter to end it. " || true
kill "$program" 2>/dev/null || true
"$root/tools/wine-run.sh" "$prefix" --stop
