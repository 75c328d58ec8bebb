#!/usr/bin/env bash
# Runs the tests of the builds: the native one; its threading tests under
# ThreadSanitizer; the 64-bit Windows build under the 64-bit Wine, whole, on
# every machine; the 32-bit Windows build where this machine runs 32-bit
# programs, its share of what can differ by platform (the whole suite with --all). Ends with one line per build: what ran, or why not.
#   test.sh BUILD_FOLDER JOBS [--all]
set -uo pipefail
build=$1
jobs=$2
scope_32bit=platform
[ "${3:-}" = --all ] && scope_32bit=all
cd "$(dirname "$0")/.."
started=$(date +%s)
status=0
summary=()

# Runs one build's ctest and notes how many of its tests passed. The Windows
# tests run in groups, each of which adds its count of test cases to a file.
run_suite() {
    local name=$1 folder=$2; shift 2
    local log counts cases
    log=$(mktemp)
    cases=$(mktemp)
    local begun=$(date +%s)
    VELMORA_TEST_COUNTS=$cases ctest --test-dir "$folder" --output-on-failure "$@" 2>&1 | tee "$log"
    local result=${PIPESTATUS[0]}
    counts=$(grep -oE '[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    if [ -s "$cases" ]; then
        counts+=", $(awk '{ran += $1; passed += $2; skipped += $3} END {printf "%d test cases: %d passed, %d skipped, %d failed", ran, passed, skipped, ran - passed - skipped}' "$cases")"
    fi
    rm -f "$log" "$cases"
    [ "$result" -eq 0 ] || status=1
    summary+=("$name: ${counts:-no tests ran} ($(( ($(date +%s) - begun + 30) / 60 )) min)")
}

run_suite "native" "$build/native" -j "$jobs"
run_suite "native under ThreadSanitizer" "$build/native-tsan"
run_suite "64-bit Windows build under the 64-bit Wine" "$build/win64"
if ! tools/runs-32bit.sh; then
    summary+=("32-bit Windows build: built, NOT RUN: this machine cannot execute 32-bit programs, so the 32-bit Wine cannot start")
elif [ $scope_32bit = all ]; then
    run_suite "32-bit Windows build under Wine's 32-bit half, whole" "$build/win32"
else
    VELMORA_TEST_SCOPE=platform run_suite "32-bit Windows build under Wine's 32-bit half, its share" "$build/win32"
fi

echo
target="make test"
[ $scope_32bit = all ] && target="make test-all"
echo "$target, $(( ($(date +%s) - started + 30) / 60 )) min:"
printf '  %s\n' "${summary[@]}"
exit $status
