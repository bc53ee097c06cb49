#!/usr/bin/env bash
# Fuzzes one target for a number of seconds: scripts/fuzz.sh TARGET SECONDS [libFuzzer options]
# TARGET is number_text, observation_file, rtf_reader or estimation. Builds
# with clang, libFuzzer, AddressSanitizer and UndefinedBehaviorSanitizer in
# build/fuzz (or $COBB_FUZZ_BUILD). New inputs go to build/fuzz/corpus/TARGET;
# fuzz/corpus/TARGET, the checked-in seeds, is only read. A crash is written
# to build/fuzz/crash-TARGET-*: add it to fuzz/corpus/TARGET once fixed.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/dependencies.sh

if [ $# -lt 2 ]; then
    echo "usage: scripts/fuzz.sh number_text|observation_file|rtf_reader|estimation SECONDS [libFuzzer options]" >&2
    exit 2
fi
target=$1
seconds=$2
shift 2
[ -d "fuzz/corpus/$target" ] || { echo "no fuzz target $target" >&2; exit 2; }

cobb_ensure_packages "${COBB_PACKAGES[@]}" clang-14 libclang-rt-14-dev
build=${COBB_FUZZ_BUILD:-build/fuzz}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++-14 \
    -DCMAKE_CXX_FLAGS="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer" \
    -DCOBB_FUZZ=ON -DBUILD_TESTING=OFF -DCOBB_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target "fuzz_$target" -j"$(cobb_jobs)"

mkdir -p "$build/corpus/$target"
export ASAN_OPTIONS=${ASAN_OPTIONS:-halt_on_error=1:detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-halt_on_error=1:print_stacktrace=1}
exec "$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -artifact_prefix="$build/crash-$target-" "$@" "$build/corpus/$target" "fuzz/corpus/$target"
