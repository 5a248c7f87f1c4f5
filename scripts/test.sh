#!/usr/bin/env bash
# The README's test command: installs what is missing, builds, and runs every
# test: the unit and end-to-end tests, the same tests again under
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of each
# fuzz target. Any failure or sanitizer report fails the run.
#
# Root reads and writes any file whatever its permission bits say, which would
# hide a file that the program leaves unreadable to its owner. So when this
# starts as root, the builds stay root's, and the tests and the fuzz targets
# run as an ordinary user, quillbox-test (a system user, made if missing),
# with a home and temporary folder of its own and the build folders lent to
# it. It gets one privilege, where root has it: CAP_LINUX_IMMUTABLE, for the
# rows that make a file immutable (chattr +i), a fault that a user meets on
# a shared installation and that not even root can write through. Without it
# those rows are skipped; every skipped row is listed after each run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

step() { printf '\n=== %s\n' "$*"; }

as_tester=()
if [ "$(id -u)" -eq 0 ]; then
    tester=quillbox-test
    owner=$(stat -c %u:%g "$root")
    home=$(mktemp -d /tmp/quillbox-test.XXXXXX)
    lent=()     # the build folders lent to the tester, given back at the end
    acls=       # the ACLs of the folders above the clone that the tester was let through
    cleanup() {
        for dir in "${lent[@]}"; do chown -R "$owner" "$dir" || true; done
        [ -z "$acls" ] || setfacl --restore=- <<<"$acls" || true
        chattr -R -i "$home" 2>/dev/null || true # a failed row may leave a file immutable
        rm -rf "$home"
    }
    trap cleanup EXIT
fi
# lend <folder>...: the folders made if missing and the tester's until the end.
lend() {
    [ ${#as_tester[@]} -gt 0 ] || return 0
    mkdir -p "$@"
    chown -R "$tester:" "$@"
    lent+=("$@")
}
# skipped <build folder>: the rows that the last CTest run there skipped.
skipped() {
    grep -h '^SKIP   :' "$1/Testing/Temporary/LastTest.log" | sed 's/^SKIP   : /skipped: /' || true
}

step "Packages"
"$root/scripts/deps.sh" test

if [ -n "${tester:-}" ]; then
    step "An ordinary user for the tests: $tester"
    getent passwd "$tester" >/dev/null ||
        useradd --system --user-group --no-create-home --home-dir /nonexistent \
            --shell /usr/sbin/nologin "$tester"
    mkdir -p "$home/tmp" "$home/run"
    chmod 700 "$home/run"
    chown -R "$tester:" "$home"
    ids=(--reuid="$tester" --regid="$tester" --init-groups)
    caps=(--inh-caps=+linux_immutable --ambient-caps=+linux_immutable)
    if ! setpriv "${ids[@]}" "${caps[@]}" true 2>/dev/null; then
        echo "No CAP_LINUX_IMMUTABLE here: the rows of immutable files will be skipped."
        caps=()
    fi
    as_tester=(setpriv "${ids[@]}" "${caps[@]}"
        env -u XDG_CONFIG_HOME -u XDG_DATA_HOME -u XDG_CACHE_HOME -u XDG_STATE_HOME
        HOME="$home" TMPDIR="$home/tmp" XDG_RUNTIME_DIR="$home/run" USER="$tester"
        LOGNAME="$tester")
    # The clone may lie in a folder closed to other users (/root): the tester
    # is let through each such folder above it, and only through.
    dir=
    IFS=/ read -ra parts <<<"${root#/}"
    for part in "${parts[@]}"; do
        dir+=/$part
        if ! "${as_tester[@]}" test -x "$dir"; then
            acls+=$(getfacl -p "$dir")$'\n\n'
            setfacl -m "u:$tester:x" "$dir"
            echo "$tester let through $dir (an ACL entry, taken away at the end)"
        fi
    done
    "${as_tester[@]}" test -r "$root/CMakeLists.txt" ||
        { echo "$tester cannot read $root: clone it readable for others" >&2; exit 1; }
fi

step "Build (build/), warnings as errors"
"$root/scripts/build.sh" default -DQUILLBOX_WARNINGS_AS_ERRORS=ON

step "Tests${tester:+, as $tester}"
lend "$root/build"
"${as_tester[@]}" ctest --test-dir "$root/build" --output-on-failure -j "$jobs"
skipped "$root/build"

step "Build with AddressSanitizer and UndefinedBehaviorSanitizer (build-asan/)"
"$root/scripts/build.sh" sanitizer -DQUILLBOX_WARNINGS_AS_ERRORS=ON

step "Tests under the sanitizers${tester:+, as $tester}"
lend "$root/build-asan"
# halt_on_error: any report ends the test program, so its test fails.
ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
    "${as_tester[@]}" ctest --test-dir "$root/build-asan" --output-on-failure -j "$jobs" -E '^e2e'
skipped "$root/build-asan"

step "Fuzzing (short runs)${tester:+, built and run as $tester}"
lend "$root/build-fuzz"
"${as_tester[@]}" "$root/scripts/fuzz.sh"

step "All tests passed"
