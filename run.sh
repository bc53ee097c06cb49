#!/usr/bin/env bash
# Builds the program and starts it: ./run.sh
set -euo pipefail
cd "$(dirname "$0")"
source scripts/dependencies.sh
cobb_ensure_packages

cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DCOBB_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build build/release --target cobb-douglas -j"$(cobb_jobs)"

if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    echo "No graphical display here (DISPLAY and WAYLAND_DISPLAY are not set)." >&2
    echo "Run it in a desktop session, or under a virtual display:" >&2
    echo "    apt-get install -y xvfb xauth && xvfb-run -a build/release/app/cobb-douglas" >&2
    exit 1
fi
exec build/release/app/cobb-douglas "$@"
