#!/usr/bin/env bash
# Builds the libFuzzer targets of the three file readers (index file,
# exchange file, registry file) with clang in build-fuzz/ and runs each one.
#
#   scripts/fuzz.sh          a short run: a fixed number of inputs per target
#   scripts/fuzz.sh --long   10 minutes per target
#
# Fails on any crash, leak, hang, out-of-memory or sanitizer report; the input
# that caused it is left in build-fuzz/fuzz-artifacts/. Seeds come from
# tests/fuzz/corpus/<target>/; inputs found along the way are kept in
# build-fuzz/fuzz-corpus/<target>/ for the next run.
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-fuzz"
targets=(indexFile exchangeFile registryFile)
# Inputs per target in a short run, each well under a minute on two cores
# (the index reload writes and lists files, so it runs slower).
# QUILLBOX_FUZZ_RUNS sets one number for all of them.
declare -A runs=([indexFile]=20000 [exchangeFile]=100000 [registryFile]=200000)

long=false
case "${1:-}" in
    "") ;;
    --long) long=true ;;
    *) echo "usage: $0 [--long]" >&2; exit 2 ;;
esac

(cd "$root" && cmake --preset fuzz >/dev/null)
cmake --build "$build" -j "$(nproc)" --target "${targets[@]/#/fuzz_}"

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:${ASAN_OPTIONS:-}
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1:${UBSAN_OPTIONS:-}

mkdir -p "$build/fuzz-artifacts"
summary=()
for target in "${targets[@]}"; do
    corpus="$build/fuzz-corpus/$target"
    log="$build/fuzz-$target.log"
    mkdir -p "$corpus"
    if $long; then
        limit=(-max_total_time=600)
    else
        limit=(-runs="${QUILLBOX_FUZZ_RUNS:-${runs[$target]}}")
    fi
    dict=()
    [ -f "$root/tests/fuzz/$target.dict" ] && dict=(-dict="$root/tests/fuzz/$target.dict")
    echo "== fuzz_$target ${limit[*]}"
    status=0
    "$build/tests/fuzz/fuzz_$target" "${limit[@]}" "${dict[@]}" -timeout=10 -rss_limit_mb=2048 \
        -max_len=8192 -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$target-" \
        "$corpus" "$root/tests/fuzz/corpus/$target" >"$log" 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
        tail -n 60 "$log" >&2
        echo "fuzz_$target FAILED (exit $status); log: $log" >&2
        exit 1
    fi
    done_line=$(grep -E '^Done [0-9]+ runs' "$log" | tail -n 1)
    summary+=("fuzz_$target: ${done_line:-finished}")
done

printf '%s\n' "${summary[@]}"
