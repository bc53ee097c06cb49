#!/usr/bin/env bash
# Builds everything and runs all tests: ./test.sh
# ./test.sh --sanitize does the same under AddressSanitizer and
# UndefinedBehaviorSanitizer, in build/sanitize; any report fails the run.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/dependencies.sh
cobb_ensure_packages

build=build/test
options=()
if [ "${1:-}" = --sanitize ]; then
    build=build/sanitize
    sanitize="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
    options=(-DCMAKE_CXX_FLAGS="$sanitize" -DCMAKE_EXE_LINKER_FLAGS="$sanitize" -DCOBB_BUILD_BENCHMARKS=OFF)
    # Set for the build too: listing the tests runs the test programs.
    export ASAN_OPTIONS=halt_on_error=1:detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1
    export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1
elif [ $# -gt 0 ]; then
    echo "usage: ./test.sh [--sanitize]" >&2
    exit 2
fi

cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${options[@]}" >/dev/null
cmake --build "$build" -j"$(cobb_jobs)"
# Windows are drawn offscreen: the tests need no display.
QT_QPA_PLATFORM=offscreen ctest --test-dir "$build" --output-on-failure -j"$(cobb_jobs)"
# Tests of what an ordinary user is refused skip as root: run them as one too.
if [ "$(id -u)" -eq 0 ]; then
    scripts/unprivileged_tests.sh "$build"
fi
