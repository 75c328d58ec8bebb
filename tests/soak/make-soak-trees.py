#!/usr/bin/env python3
"""Makes the soak's trees natively (creating files under Wine is slow).

  make-soak-trees.py DIR           DIR/cycle    10000 files in 100 folders, sizes and times varied
                                   DIR/million  1000000 empty files in 1000 folders
  make-soak-trees.py --serve DIR   each time the soak leaves DIR/top-up-wanted, makes
                                   again the files of DIR/cycle that are gone and answers
                                   with DIR/topped-up; runs until it is ended
A process of its own for the whole soak: Wine leaves a handle behind for each
native program a Windows program starts.
"""
import os
import shutil
import sys
import time

CYCLE_FOLDERS = 100
CYCLE_FILES = 100
MILLION_FOLDERS = 1000
MILLION_FILES = 1000
POLL_SECONDS = 0.01


def cycle_files(root):
    for folder in range(CYCLE_FOLDERS):
        path = os.path.join(root, "cycle", "folder%03d" % folder)
        for n in range(CYCLE_FILES):
            name = "file%03d.%s" % (n, ("doc", "txt", "xls", "bin")[n % 4])
            yield path, name, (folder * 7919 + n * 104729) % 65536, 1500000000 + folder * 86400 + n * 3600


def make_cycle_file(path, name, size, stamp):
    full = os.path.join(path, name)
    with open(full, "wb") as f:
        f.truncate(size)
    os.utime(full, (stamp, stamp))


def serve_top_ups(root):
    wanted = os.path.join(root, "top-up-wanted")
    while True:
        if not os.path.exists(wanted):
            time.sleep(POLL_SECONDS)
            continue
        for path, name, size, stamp in cycle_files(root):
            if not os.path.exists(os.path.join(path, name)):
                make_cycle_file(path, name, size, stamp)
        os.remove(wanted)
        open(os.path.join(root, "topped-up"), "wb").close()


def make_all(root):
    shutil.rmtree(root, ignore_errors=True)
    for path, name, size, stamp in cycle_files(root):
        os.makedirs(path, exist_ok=True)
        make_cycle_file(path, name, size, stamp)
    for folder in range(MILLION_FOLDERS):
        path = os.path.join(root, "million", "folder%04d" % folder)
        os.makedirs(path)
        for n in range(MILLION_FILES):
            os.close(os.open(os.path.join(path, "file%04d.doc" % n), os.O_CREAT | os.O_WRONLY, 0o644))


def main():
    if sys.argv[1] == "--serve":
        serve_top_ups(sys.argv[2])
    else:
        make_all(sys.argv[1])


if __name__ == "__main__":
    main()
