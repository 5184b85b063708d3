#!/usr/bin/env bash
# Fuzzes the parsers: builds their libFuzzer targets with clang into build-fuzz/ (configured once, then
# incremental) and runs each for the given seconds (default 30) on a copy of its seed corpus from
# tests/fuzz/corpus, so the repository keeps only its few hand-made seeds. One line per target; a crash
# or a broken property leaves its input in build-fuzz/crashes/ and makes the exit status non-zero.
#   fuzz.sh [seconds]
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
targets=(KeyFileFuzz CatIniFuzz KeystrokeNotationFuzz ExpansionTextFuzz NameRulesFuzz ImportFuzz)

bash scripts/deps.sh fuzz
mkdir -p build-fuzz/corpus build-fuzz/crashes build-fuzz/logs
build_log=build-fuzz/logs/build.log
build() {
    # The benchmarks are no part of this build and would only add a library to install.
    { [ -f build-fuzz/CMakeCache.txt ] ||
        CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DWORDWISP_FUZZ=ON \
            -DWORDWISP_BENCH=OFF; } &&
        cmake --build build-fuzz -j"$(nproc)" --target "${targets[@]}"
}
if ! build >"$build_log" 2>&1; then
    tail -n 40 "$build_log"
    echo "The fuzz build failed; full log: $build_log"
    exit 1
fi

status=0
for target in "${targets[@]}"; do
    corpus=build-fuzz/corpus/$target
    log=build-fuzz/logs/$target.log
    # What earlier runs found stays in the copy; new seeds from the repository join it.
    mkdir -p "$corpus"
    cp tests/fuzz/corpus/"$target"/* "$corpus"/
    result=ok
    build-fuzz/fuzz/"$target" "$corpus" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
        -artifact_prefix=build-fuzz/crashes/"$target"- >"$log" 2>&1 || result=crash
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    printf '%-22s %10s runs %8s exec/s %6s inputs  %s\n' "$target" "${runs:-?}" "${rate:-?}" \
        "$(find "$corpus" -type f | wc -l)" "$result"
    if [ "$result" = crash ]; then
        status=1
        grep -E 'property broken|ERROR:|SUMMARY:|Test unit written' "$log" | sed 's/^/    /' || true
        echo "    full log: $log"
    fi
done
exit $status
