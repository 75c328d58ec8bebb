#!/usr/bin/env python3
"""Makes the benchmark trees natively (creating files under Wine is slow).

  make-tree.py DIR
    DIR/search       100000 files in 1000 folders, sizes and times varied
    DIR/delete-bare-N  10000 files for round N of the bare DeleteFileW loop
    DIR/delete-page-N  10000 files for round N of the deletion through the program
"""
import os
import shutil
import sys


def main():
    root = sys.argv[1]
    shutil.rmtree(root, ignore_errors=True)
    for folder in range(1000):
        path = os.path.join(root, "search", "folder%04d" % folder)
        os.makedirs(path)
        for n in range(100):
            name = os.path.join(path, "file%03d.%s" % (n, ("doc", "txt", "xls", "bin")[n % 4]))
            with open(name, "wb") as f:
                f.truncate((folder * 7919 + n * 104729) % 65536)
            stamp = 1500000000 + folder * 86400 + n * 3600
            os.utime(name, (stamp, stamp))
    for kind in ["delete-%s-%d" % (way, n) for n in range(5) for way in ("bare", "page")]:
        path = os.path.join(root, kind)
        os.makedirs(path)
        for n in range(10000):
            open(os.path.join(path, "file%05d.doc" % n), "wb").close()


if __name__ == "__main__":
    main()
