#!/usr/bin/env bash
# The README's test command: installs what is missing, builds, and runs every
# test: the unit and end-to-end tests, the same tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of each
# fuzz target. Any failure or sanitizer report fails the run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

step() { printf '\n=== %s\n' "$*"; }

step "Packages"
"$root/scripts/deps.sh" test

step "Build (build/), warnings as errors"
"$root/scripts/build.sh" default -DQUILLBOX_WARNINGS_AS_ERRORS=ON

step "Tests"
ctest --test-dir "$root/build" --output-on-failure -j "$jobs"

step "Build with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/)"
"$root/scripts/build.sh" sanitizer -DQUILLBOX_WARNINGS_AS_ERRORS=ON

step "Tests under the sanitizers"
# halt_on_error: any report ends the test program, so its test fails.
ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs" -E '^e2e'

step "Fuzzing (short runs)"
"$root/scripts/fuzz.sh"

step "All tests passed"
