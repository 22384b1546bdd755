#!/usr/bin/env bash
# Builds the fuzz preset, writes the seed corpora from the golden objects and runs every fuzz
# target for FUZZ_SECONDS (60 by default), one after the other (or only those named in
# FUZZ_TARGETS, separated by spaces). Prints one line per target
# (executions, coverage, findings) and exits non-zero when any target found something.
#
# Inputs that libFuzzer finds new stay in build/fuzz/corpus/<target> for the next run; a finding
# is written to build/fuzz/findings/<target>/ and the run's log to build/fuzz/logs/<target>.log.
# Keep an input that found a fault, once fixed, under fuzz/regressions/<target>/: the test suite
# replays it, and every later fuzz run starts from it.
set -uo pipefail
cd "$(dirname "$0")/.."

seconds=${FUZZ_SECONDS:-60}
jobs=${JOBS:-2}
build=build/fuzz

cmake --preset fuzz >/dev/null || exit 1
cmake --build --preset fuzz -j "$jobs" || exit 1

rm -rf "$build/seeds"
"$build/fuzz_seeds" "$build/seeds" >"$build/seeds.txt" || exit 1

# Inputs up to twice the largest seed (at least 4 KiB). No single allocation may reach
# malloc_limit_mb: 16 times the longest input, which libFuzzer rounds up to whole MiB, so a read
# that allocates far beyond its own size is a finding.
largest=$(awk 'BEGIN { m = 0 } { if ($3 > m) m = $3 } END { print m }' "$build/seeds.txt")
max_len=$((2 * largest > 4096 ? 2 * largest : 4096))
malloc_limit_mb=$(((16 * max_len + 1048575) / 1048576))

mkdir -p "$build/logs"
table=$(printf '%-13s %8s %12s %9s %9s %7s %9s\n' target seconds executions coverage features corpus findings)
total=0
for target in $(awk '{ print $1 }' "$build/seeds.txt"); do
    if [ -n "${FUZZ_TARGETS:-}" ] && ! printf ' %s ' $FUZZ_TARGETS | grep -q " $target "; then continue; fi
    corpus="$build/corpus/$target"
    findings="$build/findings/$target"
    log="$build/logs/$target.log"
    mkdir -p "$corpus"
    rm -rf "$findings" && mkdir -p "$findings"
    dirs=("$corpus" "$build/seeds/$target")
    [ -d "fuzz/regressions/$target" ] && dirs+=("fuzz/regressions/$target")
    echo "fuzzing $target for ${seconds}s (max_len $max_len, malloc_limit_mb $malloc_limit_mb)"
    "$build/fuzz_$target" -max_total_time="$seconds" -max_len="$max_len" -malloc_limit_mb="$malloc_limit_mb" \
        -rss_limit_mb=2048 -timeout=10 -print_final_stats=1 -artifact_prefix="$findings/" "${dirs[@]}" >"$log" 2>&1
    status=$?
    executions=$(awk '/stat::number_of_executed_units/ { print $2 }' "$log" | tail -n 1)
    coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -n 1 | awk '{ print $2 }')
    features=$(grep -o 'ft: [0-9]*' "$log" | tail -n 1 | awk '{ print $2 }')
    found=$(find "$findings" -type f | wc -l)
    if [ "$status" -ne 0 ] && [ "$found" -eq 0 ]; then found=1; fi
    total=$((total + found))
    table+=$(printf '\n%-13s %8s %12s %9s %9s %7s %9s' "$target" "$seconds" "${executions:-?}" "${coverage:-?}" \
        "${features:-?}" "$(find "$corpus" -type f | wc -l)" "$found")
    if [ "$found" -ne 0 ]; then
        grep -m 3 -E 'finding of fuzz target|ERROR: |SUMMARY: ' "$log" | sed 's/^/    /'
        find "$findings" -type f | sed 's/^/    input: /'
    fi
done

echo
echo "$table"
echo "coverage: edges of the library's code reached (libFuzzer 'cov'); corpus: inputs kept in $build/corpus"
if [ "$total" -ne 0 ]; then
    echo "$total finding(s): see $build/findings and $build/logs"
    exit 1
fi
