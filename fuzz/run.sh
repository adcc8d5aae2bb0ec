#!/usr/bin/env bash
# Builds the libFuzzer targets with clang in build-fuzz/ and runs each for
# FUZZ_SECONDS (default 60) on a copy of its seed corpus. Prints what each run
# did and exits non-zero when any target crashed, leaked, hung or could not run.
# A crashing input is kept in build-fuzz/fuzz/findings/<target>/; replay it with
#   build-fuzz/fuzz/<target> <file>
set -eu
cd "$(dirname "$0")/.."
root=$PWD
seconds=${FUZZ_SECONDS:-60}
build=${FUZZ_BUILD_DIR:-build-fuzz}
jobs=$(nproc)

echo "fuzz: configuring $build with clang"
mkdir -p "$build"
CC=clang CXX=clang++ cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DDIALMERE_FUZZ=ON -DDIALMERE_TESTS=OFF >"$build/configure.log" 2>&1 || {
    cat "$build/configure.log"
    echo "fuzz: configuring failed"
    exit 1
}
mapfile -t targets < <(grep -v '^$' "$build/fuzz/targets.txt")
if [ ${#targets[@]} -eq 0 ]; then
    echo "fuzz: no targets to build"
    exit 1
fi
# Only the fuzz targets and what they link: the programs are not needed here.
cmake --build "$build" -j"$jobs" --target "${targets[@]}"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failed=0
for target in "${targets[@]}"; do
    bin=$build/fuzz/$target
    corpus=$work/$target/corpus
    artifacts=$work/$target/artifacts
    mkdir -p "$corpus" "$artifacts"
    if [ -d "fuzz/corpus/$target" ]; then
        cp -R "fuzz/corpus/$target/." "$corpus/"
    fi
    dict=()
    if [ -f "fuzz/$target.dict" ]; then
        dict=(-dict="fuzz/$target.dict")
    fi
    log=$work/$target/log
    status=0
    ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1} \
        UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1} \
        "$bin" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -max_len=4096 \
        -print_final_stats=1 -artifact_prefix="$artifacts/" "${dict[@]}" "$corpus" \
        >"$log" 2>&1 || status=$?
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    found=$(find "$artifacts" -type f | wc -l)
    if [ "$status" -eq 0 ] && [ "$found" -eq 0 ]; then
        echo "fuzz: $target: ${runs:-0} executions in ${seconds}s, nothing found"
    else
        failed=1
        keep=$root/$build/fuzz/findings/$target
        mkdir -p "$keep"
        if [ "$found" -gt 0 ]; then
            cp "$artifacts"/* "$keep/"
        fi
        echo "fuzz: $target: ${runs:-?} executions, FOUND A PROBLEM (exit $status," \
            "$found input(s) kept in $keep)"
        tail -n 60 "$log"
    fi
done

if [ "$failed" -ne 0 ]; then
    echo "fuzz: a target found a problem"
    exit 1
fi
echo "fuzz: every target ran clean"
