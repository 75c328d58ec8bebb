#!/usr/bin/env bash
# Writes a PNG of every page of the main window at 100 % and 150 % into docs/screenshots/,
# each at the window's smallest size, the search page after a search of a small tree.
#   screenshots.sh BUILD_FOLDER   (build/win32 or build/win64)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/win32}" && pwd)
work=$root/build/screenshots
out=$root/docs/screenshots
tour=$build/tests/screenshot_tour.exe
windows_path() { echo "Z:$1" | tr / '\\'; }

rm -rf "$work/tree" "$work/shots"
mkdir -p "$work/tree/Reports 2026" "$work/tree/Drafts" "$work/shots" "$out"
for n in $(seq 1 12); do
    head -c $((n * 700)) /dev/zero >"$work/tree/Reports 2026/quarter-$n.doc"
    head -c $((n * 300)) /dev/zero >"$work/tree/Drafts/draft-$n.tmp"
done
head -c 4096 /dev/zero >"$work/tree/notes.txt"

for scale in 100 150; do
    dpi=$((96 * scale / 100))
    prefix=$work/prefix-$dpi
    VELMORA_DPI=$dpi "$root/tools/wine-run.sh" "$prefix" "$tour" "$(windows_path "$work/shots")" \
        "$(windows_path "$work/tree")" "$scale"
    "$root/tools/wine-run.sh" "$prefix" --stop
done
for shot in "$work"/shots/*.bmp; do
    convert "$shot" "$out/$(basename "${shot%.bmp}").png"
done
ls "$out"
