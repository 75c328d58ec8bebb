#!/usr/bin/env python3
"""The group runner and planner against a stand-in test program.

Run with a test program's behaviours in FAKE_TESTS ("Suite.Name=pass,Suite.Other=crash"),
this file plays that program: it prints GoogleTest's lines for the tests its
--gtest_filter lets through and passes, fails, skips, crashes, hangs or leaves
a program running in each.
"""
import fnmatch
import os
import subprocess
import sys
import tempfile
import time
import unittest

TOOLS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "tools")


def play_program():
    tests = [entry.split("=") for entry in os.environ["FAKE_TESTS"].split(",")]
    test_filter = next(a for a in sys.argv if a.startswith("--gtest_filter=")).split("=", 1)[1]
    positive, _, negative = test_filter.partition(":-")
    chosen = [(name, how) for name, how in tests
              if any(fnmatch.fnmatchcase(name, p) for p in positive.split(":"))
              and not any(fnmatch.fnmatchcase(name, p) for p in negative.split(":") if p)]
    with open(os.environ["FAKE_STARTS"], "a") as starts:
        starts.write(test_filter + "\n")
    failed = False
    for name, how in chosen:
        print(f"[ RUN      ] {name}", flush=True)
        print(f"output of {name}", flush=True)
        if how == "crash":
            os._exit(3)
        if how == "hang":
            time.sleep(60)
        if how == "leave":
            # A program the test started, which keeps the output open beyond the runner's own limit.
            subprocess.Popen([sys.executable, "-c", "import time; time.sleep(90)"])
        word = {"pass": "OK", "leave": "OK", "fail": "FAILED", "skip": "SKIPPED"}[how]
        failed |= how == "fail"
        print(f"[ {word:>8} ] {name} (1 ms)", flush=True)
    sys.exit(1 if failed else 0)


class GroupRunner(unittest.TestCase):
    def run_group(self, tests, test_filter):
        with tempfile.TemporaryDirectory() as folder:
            starts = os.path.join(folder, "starts")
            tally = os.path.join(folder, "tally")
            environment = dict(os.environ, FAKE_TESTS=tests, FAKE_STARTS=starts, VELMORA_TEST_COUNTS=tally)
            done = subprocess.run([sys.executable, os.path.join(TOOLS, "run-test-group.py"), "--name", "G",
                                   "--test-limit", "2", test_filter, "--", sys.executable, __file__],
                                  env=environment, capture_output=True, text=True, timeout=60)
            with open(starts) as lines:
                processes = len(lines.readlines())
            with open(tally) as lines:
                counts = lines.read().split()[:3]
        return done.returncode, done.stdout, processes, [int(count) for count in counts]

    def test_every_test_gets_its_own_verdict(self):
        # (behaviours, filter, exit code, processes, [ran, passed, skipped], names in a FAILED line)
        cases = [
            ("A.a=pass,A.b=skip,A.c=pass", "*", 0, 1, [3, 2, 1], []),
            ("A.a=pass,A.b=fail,A.c=pass", "*", 1, 1, [3, 2, 0], ["A.b"]),
            ("A.a=pass,A.b=crash,A.c=pass,A.d=fail", "*", 1, 2, [4, 2, 0], ["A.b", "A.d"]),
            ("A.a=hang,A.b=pass", "*", 1, 2, [2, 1, 0], ["A.a"]),
            ("A.a=leave,A.b=pass", "*", 0, 1, [2, 2, 0], []),
            ("A.a=crash,A.b=crash,A.c=crash", "*", 1, 4, [3, 0, 0], ["A.a", "A.b", "A.c"]),
            ("A.a=pass", "B.*", 1, 1, [0, 0, 0], []),
        ]
        for tests, test_filter, code, processes, counts, failed in cases:
            with self.subTest(tests=tests, test_filter=test_filter):
                result, output, started, tally = self.run_group(tests, test_filter)
                self.assertEqual((result, started, tally), (code, processes, counts), output)
                named = sorted(line.split()[2].rstrip(":") for line in output.splitlines()
                               if line.startswith("G: FAILED "))
                self.assertEqual(named, failed, output)
                for name in failed:
                    self.assertIn(f"---- output of {name} ----\noutput of {name}\n", output)


class Planner(unittest.TestCase):
    LISTING = "Running main()\nA.\n  one\n  two\nB.\n  one\nC.\n  one\n  two\nScale.\n  one\n"

    def plan(self, *options):
        """Each planned test as "FILTER PREFIX" for a group, "stop PREFIX", or "error"."""
        with tempfile.TemporaryDirectory() as folder:
            listing = os.path.join(folder, "tests")
            output = os.path.join(folder, "plan.cmake")
            with open(listing, "w") as text:
                text.write(self.LISTING)
            subprocess.run([sys.executable, os.path.join(TOOLS, "plan-test-groups.py"), "--listing", listing,
                            "--output", output, "--runner", "run", "--wine-run", "wine", "--wine-prefix", "p",
                            "--program", "t.exe", "--prefix", "w.", *options], check=True)
            with open(output) as text:
                lines = [line for line in text.read().splitlines() if line.startswith("add_test(")]
        tests = {}
        for line in lines:
            parts = [p.strip("[]=") for p in line[len("add_test("):-1].split("]==] [==[")]
            if parts[1] == "wine":
                tests[parts[0]] = "stop " + parts[2]
            else:
                tests[parts[0]] = "error" if "-c" in parts else parts[7] + " " + parts[10]
        return tests

    def test_every_test_is_in_exactly_one_group_of_its_scope(self):
        scale = ["--scale-suite", "Scale", "--scale", "120", "--scale-prefix", "p-DPI"]
        cases = [
            ([], {"w.A": "A.* p", "w.B": "B.* p", "w.C": "C.* p", "w.Scale": "Scale.* p"}),
            (["--join", "AB=A,B", *scale], {"w.AB": "A.*:B.* p", "w.C": "C.* p", "w.Scale": "Scale.* p",
                                            "w.Scale.at120": "Scale.* p-120", "w.stop.at120": "stop p-120"}),
            (["--scope", "platform", "--platform-share", "A.two", "--platform-share", "C.*", *scale],
             {"w.A": "A.two p", "w.C": "C.* p"}),
        ]
        for options, groups in cases:
            with self.subTest(options=options):
                self.assertEqual(self.plan(*options), groups)
        # A name that matches nothing fails the run.
        for options in (["--join", "X=A,Missing"], ["--scope", "platform", "--platform-share", "Gone.*"],
                        ["--scale-suite", "Renamed", "--scale", "120", "--scale-prefix", "p-DPI"]):
            with self.subTest(options=options):
                self.assertEqual(self.plan(*options).get("w.TestPlan"), "error")


if __name__ == "__main__":
    if "FAKE_TESTS" in os.environ:
        play_program()
    else:
        unittest.main()
