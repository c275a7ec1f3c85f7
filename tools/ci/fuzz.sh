#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, replays each committed corpus,
# then fuzzes each target for a bounded time (FUZZ_SECONDS, default 60),
# two targets at a time, from a fixed seed (FUZZ_SEED, default 1) so that a
# run can be repeated. Inputs found to break a contract are kept in
# build/fuzz/crashes/ and fail the run.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds=${FUZZ_SECONDS:-60}
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz -j"$(nproc)"

out=build/fuzz/fuzz-runs
rm -rf "$out"
mkdir -p "$out" build/fuzz/crashes
targets=()
for source in tests/fuzz/*_fuzz.cpp; do
    targets+=("$(basename "$source" .cpp)")
done

export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

# The corpus as a regression test: every seed once.
for t in "${targets[@]}"; do
    build/fuzz/bin/"$t" -runs=0 tests/fuzz/corpus/"$t" >"$out/$t.replay.log" 2>&1 ||
        { cat "$out/$t.replay.log"; echo "corpus replay of $t failed"; exit 1; }
done

# Bounded fuzzing. New corpus entries go to a scratch directory, so the
# committed corpus changes only when someone chooses to merge them.
run_one() {
    local t=$1
    mkdir -p "$out/$t.corpus"
    build/fuzz/bin/"$t" -seed="${FUZZ_SEED:-1}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
        -artifact_prefix=build/fuzz/crashes/"$t"- "$out/$t.corpus" tests/fuzz/corpus/"$t" \
        >"$out/$t.log" 2>&1
}
pids=()
names=()
status=0
for t in "${targets[@]}"; do
    run_one "$t" &
    pids+=($!)
    names+=("$t")
    if ((${#pids[@]} == 2)); then
        wait "${pids[0]}" || { status=1; echo "fuzzing ${names[0]} failed:"; tail -40 "$out/${names[0]}.log"; }
        pids=("${pids[@]:1}")
        names=("${names[@]:1}")
    fi
done
for i in "${!pids[@]}"; do
    wait "${pids[$i]}" || { status=1; echo "fuzzing ${names[$i]} failed:"; tail -40 "$out/${names[$i]}.log"; }
done
for t in "${targets[@]}"; do
    runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$out/$t.log" | grep -o '[0-9]*$' || echo "?")
    echo "$t: $runs executions in ${seconds} s"
done
exit $status
