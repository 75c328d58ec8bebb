#!/usr/bin/env python3
"""Runs a group of GoogleTest cases in one process and gives each its own verdict.

    run-test-group.py [--test-limit SECONDS] FILTER -- COMMAND [ARGS...]

COMMAND (the Wine runner and the test program) is run with --gtest_filter=FILTER
and whatever VELMORA_GTEST_ARGS adds (--gtest_shuffle, say). The runner follows
GoogleTest's lines: a test that runs longer than the limit is named as hung and
its process killed; a process that ends in the middle of a test is named as
crashed with that test. Either way the group goes on in a new process with the
tests not yet run, so every test still gets a verdict of its own. It ends with
one line counting the group's tests, the output of each failed one again, and
exit code 1 when any failed. A command that exits 77 before any test ran (a
group that cannot run on this machine) passes 77 on, for ctest's skip code.
"""
import argparse
import os
import queue
import re
import shlex
import subprocess
import sys
import threading
import time

SKIP_EXIT_CODE = 77
POLL_SECONDS = 1.0
# GoogleTest's lines; a parameterised test's end line adds ", where GetParam() = …".
RUN_LINE = re.compile(r"^\[ RUN      \] (\S+)")
END_LINE = re.compile(r"^\[ +(OK|FAILED|SKIPPED) +\] ([^\s,]+)(?:, where .*)? \(\d+ ms\)$")
VERDICTS = {"OK": "passed", "FAILED": "failed", "SKIPPED": "skipped"}


def read_lines(stream, lines):
    for raw in iter(stream.readline, b""):
        lines.put(raw.decode("utf-8", "replace").rstrip("\r\n"))
    lines.put(None)


class Group:
    def __init__(self, test_filter, command, test_limit):
        self.test_filter = test_filter
        self.command = command
        self.test_limit = test_limit
        self.verdicts = {}
        self.outputs = {}
        self.started = []

    def filter_without_started(self):
        if not self.started:
            return self.test_filter
        return self.test_filter + ":-" + ":".join(self.started)

    def run_once(self):
        """One process over the tests not yet started. True when it ended in a test."""
        extra = shlex.split(os.environ.get("VELMORA_GTEST_ARGS", ""))
        process = subprocess.Popen(self.command + ["--gtest_filter=" + self.filter_without_started()] + extra,
                                   stdin=subprocess.DEVNULL, stdout=subprocess.PIPE, stderr=subprocess.STDOUT)
        lines = queue.Queue()
        threading.Thread(target=read_lines, args=(process.stdout, lines), daemon=True).start()
        current, began = None, 0.0
        while True:
            try:
                line = lines.get(timeout=POLL_SECONDS)
            except queue.Empty:
                if current is not None and time.monotonic() - began > self.test_limit:
                    process.kill()
                    process.wait()
                    self.verdicts[current] = f"hung: no result after {self.test_limit:g} s; its process was killed"
                    print(f"[  HUNG    ] {current}", flush=True)
                    return True
                # A program the test started may hold the output open after the test program ended.
                if process.poll() is not None:
                    break
                continue
            if line is None:
                break
            print(line, flush=True)
            run = RUN_LINE.match(line)
            end = END_LINE.match(line)
            if run:
                current, began = run.group(1), time.monotonic()
                self.started.append(current)
                self.outputs[current] = []
            elif end and end.group(2) == current:
                self.verdicts[current] = VERDICTS[end.group(1)]
                current = None
            elif current is not None:
                self.outputs[current].append(line)
        code = process.wait()
        if current is not None:
            self.verdicts[current] = f"crashed: its process ended with exit code {code:#x} in the middle of it"
            print(f"[ CRASHED  ] {current}", flush=True)
            return True
        if code == SKIP_EXIT_CODE and not self.started:
            sys.exit(SKIP_EXIT_CODE)
        if code != 0 and all(v in ("passed", "skipped") for v in self.verdicts.values()):
            # Every test passed, yet the process failed: at its start, its end or in a
            # global object. That is the group's failure, not a test's.
            self.verdicts["(the process itself)"] = f"failed: exit code {code:#x} outside any test"
        return False

    def report(self, name):
        failed = {test: verdict for test, verdict in self.verdicts.items()
                  if verdict not in ("passed", "skipped")}
        counts = {kind: sum(1 for v in self.verdicts.values() if v == kind) for kind in ("passed", "skipped")}
        ran = len(self.started)
        print(f"{name}: {ran} test cases, {counts['passed']} passed, {counts['skipped']} skipped, "
              f"{len(failed)} failed")
        if os.environ.get("VELMORA_TEST_COUNTS"):
            with open(os.environ["VELMORA_TEST_COUNTS"], "a", encoding="utf-8") as tally:
                tally.write(f"{ran} {counts['passed']} {counts['skipped']} {name}\n")
        if not self.verdicts:
            print(f"{name}: FAILED: no test matched {self.test_filter}")
            return 1
        for test, verdict in failed.items():
            print(f"{name}: FAILED {test}: {verdict}")
            output = self.outputs.get(test)
            if output:
                print(f"---- output of {test} ----")
                print("\n".join(output))
                print(f"---- end of {test} ----")
        return 1 if failed else 0


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--test-limit", type=float, default=120, help="seconds one test may run")
    parser.add_argument("--name", default=None, help="the group's name in the last lines")
    parser.add_argument("filter")
    parser.add_argument("command", nargs=argparse.REMAINDER)
    arguments = parser.parse_args()
    command = arguments.command[1:] if arguments.command[:1] == ["--"] else arguments.command
    group = Group(arguments.filter, command, arguments.test_limit)
    while group.run_once():
        pass
    sys.exit(group.report(arguments.name or arguments.filter))


if __name__ == "__main__":
    main()
