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
if [ -n "$folder" ] && chattr +i "$folder" 2>/dev/null; then
    trap 'chattr -i "$folder"' EXIT
else
    # The test then finds the folder writable and says that it did not run.
    echo "unwritable-install: could not make the installation folder immutable"
fi
"$@"
