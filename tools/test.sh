#!/usr/bin/env bash
# Runs every test of the three builds: the native one; the 64-bit Windows build
# under the 64-bit Wine, on every machine; the 32-bit Windows build where this
# machine runs 32-bit programs. Ends with one line per build: what ran, or why not.
#   test.sh BUILD_FOLDER JOBS
set -uo pipefail
build=$1
jobs=$2
cd "$(dirname "$0")/.."
started=$(date +%s)
status=0
summary=()

# Runs one build's ctest and notes how many of its tests passed.
run_suite() {
    local name=$1 folder=$2; shift 2
    local log
    log=$(mktemp)
    local begun=$(date +%s)
    ctest --test-dir "$folder" --output-on-failure "$@" 2>&1 | tee "$log"
    local result=${PIPESTATUS[0]}
    local counts
    counts=$(grep -oE '[0-9]+% tests passed, [0-9]+ tests failed out of [0-9]+' "$log" | tail -n 1)
    rm -f "$log"
    [ "$result" -eq 0 ] || status=1
    summary+=("$name: ${counts:-no tests ran} ($(( ($(date +%s) - begun + 30) / 60 )) min)")
}

run_suite "native" "$build/native" -j "$jobs"
run_suite "64-bit Windows build under the 64-bit Wine" "$build/win64"
if tools/runs-32bit.sh; then
    run_suite "32-bit Windows build under Wine's 32-bit half" "$build/win32"
else
    summary+=("32-bit Windows build: built, NOT RUN: this machine cannot execute 32-bit programs, so the 32-bit Wine cannot start")
fi

echo
echo "make test, $(( ($(date +%s) - started + 30) / 60 )) min:"
printf '  %s\n' "${summary[@]}"
exit $status
