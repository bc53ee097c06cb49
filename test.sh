#!/usr/bin/env bash
# Builds everything and runs all tests: ./test.sh
set -euo pipefail
cd "$(dirname "$0")"
source scripts/dependencies.sh
cobb_ensure_packages

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build/test -j"$(cobb_jobs)"
# Windows are drawn offscreen: the tests need no display.
QT_QPA_PLATFORM=offscreen ctest --test-dir build/test --output-on-failure -j"$(cobb_jobs)"
