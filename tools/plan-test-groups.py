#!/usr/bin/env python3
"""Turns a GoogleTest program's list of tests into ctest groups, one process each.

Reads the output of `PROGRAM --gtest_list_tests` and writes CMake code that
ctest includes: one add_test per group, run by run-test-group.py. A group is a
test suite, or the suites a --join names together; the --scale-suite runs again at
each --scale in a prefix made at that scale. With --scope platform only the
tests that a --platform-share pattern matches run, in the same groups. A pattern or
suite named here that matches no test is an error: it is written as a failing
test, so a renamed test cannot drop out unseen.
"""
import argparse
import fnmatch
import sys


def parse_listing(text):
    """The tests in the order the program runs them, as (suite, full name)."""
    tests, suite = [], None
    for line in text.splitlines():
        line = line.rstrip("\r")
        if not line.strip() or line.startswith("Running main()"):
            continue
        if line.startswith("  "):
            if suite:
                tests.append((suite, suite + "." + line.split("#")[0].strip()))
        else:
            suite = line.split("#")[0].strip().rstrip(".")
    return tests


def matches(name, patterns):
    return any(fnmatch.fnmatchcase(name, pattern) for pattern in patterns)


def cmake_quote(text):
    return "[==[" + text + "]==]"


class Plan:
    def __init__(self, arguments):
        self.arguments = arguments
        self.lines = []
        self.errors = []
        self.suite_sizes = {}

    def add_group(self, name, tests, prefix, environment, fixtures):
        a = self.arguments
        runner = [sys.executable, a.runner, "--name", name, "--test-limit", str(a.test_limit),
                  self.filter_of(tests), "--", a.wine_run, prefix, a.program]
        self.lines.append("add_test(" + " ".join(cmake_quote(part) for part in [name] + runner) + ")")
        # The runner kills a hung test itself; ctest's limit only catches a hung runner.
        timeout = a.test_limit * (len(tests) + 1)
        properties = ["TIMEOUT", str(timeout)]
        if environment:
            properties += ["ENVIRONMENT", ";".join(environment)]
        if fixtures:
            properties += ["FIXTURES_REQUIRED", ";".join(fixtures)]
        self.lines.append("set_tests_properties(" + cmake_quote(name) + " PROPERTIES "
                          + " ".join(cmake_quote(p) for p in properties) + ")")

    def filter_of(self, tests):
        """Whole suites by their pattern, anything less by the tests' names."""
        patterns = []
        for suite in dict.fromkeys(name.split(".")[0] for name in tests):
            members = [name for name in tests if name.split(".")[0] == suite]
            if len(members) == self.suite_sizes[suite]:
                patterns.append(suite + ".*")
            else:
                patterns += members
        return ":".join(patterns)

    def add_failure(self, name, message):
        script = "import sys; print(sys.argv[1]); sys.exit(1)"
        self.lines.append("add_test(" + " ".join(cmake_quote(p) for p in [name, sys.executable, "-c", script, message]) + ")")

    def build(self, tests):
        a = self.arguments
        for suite, _ in tests:
            self.suite_sizes[suite] = self.suite_sizes.get(suite, 0) + 1
        suites = list(self.suite_sizes)
        joined = {}
        for join in a.join:
            group, _, members = join.partition("=")
            for member in members.split(","):
                if member not in suites:
                    self.errors.append(f"--join {group} names the suite {member}, which has no tests")
                joined[member] = group
        if a.scale_suite and a.scale_suite not in suites:
            self.errors.append(f"the scales' suite {a.scale_suite} has no tests")
        chosen = [test for test in tests if a.scope != "platform" or matches(test[1], a.subset)]
        if a.scope == "platform":
            for pattern in a.subset:
                if not any(matches(name, [pattern]) for _, name in tests):
                    self.errors.append(f"the 32-bit share's pattern {pattern} matches no test")
        # Groups in the order of their first test, as the program lists them.
        groups = {}
        for suite, name in chosen:
            groups.setdefault(joined.get(suite, suite), []).append(name)
        for key, names in groups.items():
            self.add_group(a.prefix + key, names, a.wine_prefix, a.environment, a.fixture)
        # The scales are no matter of the platform: the 32-bit share runs 100 % only.
        scaled = [name for suite, name in chosen if suite == a.scale_suite]
        if scaled and a.scope != "platform":
            for dpi in a.scale:
                prefix = a.scale_prefix.replace("DPI", dpi)
                fixture = f"scale{dpi}"
                name = f"{a.prefix}{a.scale_suite}.at{dpi}"
                # Each scale's own Wine server and display, stopped after its group.
                self.add_group(name, scaled, prefix, a.environment + [f"VELMORA_DPI={dpi}"], [fixture])
                stop = f"{a.prefix}stop.at{dpi}"
                self.lines.append("add_test(" + " ".join(cmake_quote(p) for p in [stop, a.wine_run, prefix, "--stop"]) + ")")
                self.lines.append(f"set_tests_properties({cmake_quote(stop)} PROPERTIES FIXTURES_CLEANUP {fixture})")
        if self.errors:
            self.add_failure(a.prefix + "TestPlan", "\n".join(self.errors))
        return "\n".join(self.lines) + "\n"


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--listing", required=True)
    parser.add_argument("--prefix", default="")
    parser.add_argument("--scope", default="all", help="all, or platform for the 32-bit share")
    parser.add_argument("--join", action="append", default=[], help="GROUP=SUITE,SUITE…")
    parser.add_argument("--platform-share", dest="subset", action="append", default=[], help="a test pattern of the 32-bit share")
    parser.add_argument("--scale-suite", default="")
    parser.add_argument("--scale", action="append", default=[])
    parser.add_argument("--scale-prefix", default="", help="the scales' prefix, DPI standing for the scale")
    parser.add_argument("--wine-run", required=True, help="the Wine runner")
    parser.add_argument("--wine-prefix", required=True, help="the prefix the groups run in")
    parser.add_argument("--program", required=True, help="the test program")
    parser.add_argument("--runner", required=True)
    parser.add_argument("--test-limit", type=int, default=120)
    parser.add_argument("--environment", action="append", default=[])
    parser.add_argument("--fixture", action="append", default=[])
    parser.add_argument("--output", required=True)
    arguments = parser.parse_args()
    with open(arguments.listing, encoding="utf-8", errors="replace") as listing:
        tests = parse_listing(listing.read())
    plan = Plan(arguments)
    text = plan.build(tests) if tests else ""
    if not tests:
        plan.add_failure(arguments.prefix + "TestPlan", f"no test listed in {arguments.listing}")
        text = "\n".join(plan.lines) + "\n"
    with open(arguments.output, "w", encoding="utf-8") as output:
        output.write(text)


if __name__ == "__main__":
    main()
