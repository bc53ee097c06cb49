#!/usr/bin/env bash
# Runs, as the user nobody, the tests of what an ordinary user is refused:
# root may do it anyway, so these tests skip when the suite runs as root.
# test.sh calls this as root: scripts/unprivileged_tests.sh BUILD_FOLDER
# Each must run and pass here; a skip fails the run.
set -euo pipefail
cd "$(dirname "$0")/.."
build=$(realpath "$1")

# Test program (in the build folder) and a --gtest_filter of its tests that
# skip as root. A new test that skips as root goes in here.
unprivileged=(
    "tests/model_tests ObservationFileTest.SaveIntoAReadOnlyFolderIsDeniedAndKeepsTheOldFile"
    "tests/model_tests ObservationFileTest.SaveRefusesAFileOnlyItsGroupMayWrite"
)

# The tests' temporary files go to a folder nobody may write.
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
chown nobody:nogroup "$scratch"

for entry in "${unprivileged[@]}"; do
    read -r program filter <<<"$entry"
    echo "As nobody: $program --gtest_filter=$filter"
    # A copy of the program: nobody may not reach the build folder of a
    # checkout in root's home (/root is mode 700 on Debian).
    install -m 755 "$build/$program" "$scratch/"
    output=$(cd "$scratch" && setpriv --reuid=nobody --regid=nogroup --clear-groups \
        env TMPDIR="$scratch" HOME="$scratch" "$scratch/${program##*/}" --gtest_filter="$filter" 2>&1) || {
        printf '%s\n' "$output"
        exit 1
    }
    printf '%s\n' "$output" | grep -E '^\[  (PASSED|SKIPPED) ' || true
    if ! printf '%s\n' "$output" | grep -qE '^\[  PASSED  \] [1-9]' \
        || printf '%s\n' "$output" | grep -q '^\[  SKIPPED \]'; then
        echo "$program: the tests did not all run as nobody" >&2
        exit 1
    fi
done
