#!/usr/bin/env bash
# Measures the figures the README quotes, on this machine: bench/figures.sh
# - the time from start to the main window shown (offscreen) and its peak memory;
# - the command-line report's time and peak memory on the shipped example;
# - the estimation benchmark.
# Builds in Release in build/bench (or $COBB_BENCH_BUILD).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/dependencies.sh
cobb_ensure_packages "${COBB_PACKAGES[@]}" hyperfine time

build=${COBB_BENCH_BUILD:-build/bench}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCOBB_BUILD_BENCHMARKS=ON >/dev/null
cmake --build "$build" --target startup_probe cobb-douglas-cli estimation_bench -j"$(cobb_jobs)" >/dev/null

# Peak resident memory in MB over five runs of a command, the largest.
peak_mb() {
    local kb=0 run now report
    report=$(mktemp)
    for run in 1 2 3 4 5; do
        /usr/bin/time -f '%M' -o "$report" "$@" >/dev/null 2>&1
        now=$(tail -n 1 "$report")
        [ "$now" -gt "$kb" ] && kb=$now
    done
    rm -f "$report"
    awk -v kb="$kb" 'BEGIN { printf "%.1f MB\n", kb / 1024 }'
}

export QT_QPA_PLATFORM=offscreen
example=examples/cobb-douglas-1928.txt
probe=$build/bench/startup_probe
cli=$build/cli/cobb-douglas-cli

echo "== start to main window shown (offscreen)"
hyperfine --warmup 3 --runs 30 --style basic "$probe"
echo "peak memory: $(peak_mb "$probe")"

echo "== cobb-douglas-cli on $example"
hyperfine --warmup 5 --runs 100 --shell=none --style basic "$cli --separator , $example"
echo "peak memory: $(peak_mb "$cli" --separator , "$example")"

echo "== estimation"
"$build/bench/estimation_bench" --benchmark_repetitions=5 --benchmark_report_aggregates_only=true
