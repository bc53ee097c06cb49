#!/usr/bin/env bash
# Static analysis of the program's code: scripts/lint.sh
# clang-tidy (configured by .clang-tidy, over compile_commands.json) and
# cppcheck on model/, forms/, app/ and cli/. Prints what they find and fails
# when either finds anything. Configures build/lint (or $COBB_LINT_BUILD)
# and generates the windows' ui_*.h and moc files there. .ci/run runs it
# after the test suites.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/dependencies.sh
cobb_ensure_packages "${COBB_PACKAGES[@]}" "${COBB_LINT_PACKAGES[@]}"

build=${COBB_LINT_BUILD:-build/lint}
cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Debug -DCMAKE_EXPORT_COMPILE_COMMANDS=ON \
    -DBUILD_TESTING=OFF -DCOBB_BUILD_BENCHMARKS=OFF >/dev/null
cmake --build "$build" --target cobb_forms_autogen -j"$(cobb_jobs)" >/dev/null

mapfile -t sources < <(find model forms app cli -name '*.cpp' | sort)
status=0

echo "== clang-tidy"
run-clang-tidy -quiet -p "$build" -j "$(cobb_jobs)" "${sources[@]/#/$PWD/}" >"$build/clang-tidy.log" 2>&1 || status=1
grep -E 'warning:|error:' "$build/clang-tidy.log" | sort -u || true

echo "== cppcheck"
# Style checks left out: useStlAlgorithm (a raw loop is often the clearer
# one) and shadowFunction (a local variable named like a member function
# cannot be mistaken for a call).
checks=(--std=c++20 --language=c++ --enable=warning,style,performance,portability --inline-suppr
        --error-exitcode=1 --quiet --suppress=missingIncludeSystem --suppress=useStlAlgorithm
        --suppress=shadowFunction -I . -j "$(cobb_jobs)")
# The model and the report use no Qt; Qt's macros (emit, signals, slots)
# would otherwise change their meaning. Qt's own headers are not parsed:
# --library=qt knows its macros, and findings in Qt are not ours to fix.
cppcheck "${checks[@]}" model cli || status=1
cppcheck "${checks[@]}" --library=qt -I "$build/forms/cobb_forms_autogen/include" forms app || status=1

[ $status -eq 0 ] && echo "lint: nothing found"
exit $status
