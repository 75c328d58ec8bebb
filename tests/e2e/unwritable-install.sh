#!/usr/bin/env bash
# Runs a command with the installed Velmora folder of a Wine prefix made
# unwritable, as Program Files is to a standard user, and writable again after.
# Wine as root writes through file modes, so the folder is made immutable.
#   unwritable-install.sh PREFIX COMMAND...
set -u
prefix=$1; shift
folder=
for candidate in "$prefix/drive_c/Program Files/Velmora" "$prefix/drive_c/Program Files (x86)/Velmora"; do
    [ -d "$candidate" ] && folder=$candidate
done
# Exit status 77 tells ctest that the test was skipped, and it says so.
if [ -z "$folder" ] || ! chattr +i "$folder" 2>/dev/null; then
    echo "NOT RUN here: the installation folder could not be made immutable (chattr +i needs root and a file system that keeps the flag)"
    exit 77
fi
trap 'chattr -i "$folder"' EXIT
"$@"
