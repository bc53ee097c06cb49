#!/usr/bin/env bash
# Formats the tracked C++ files by .clang-format: scripts/format.sh
# scripts/format.sh --check changes nothing: it lists the files a format
# would change and fails when there is any. Uses Debian 12's clang-format
# (14), one of COBB_LINT_PACKAGES.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/dependencies.sh

check=false
case "${1:-}" in
--check) check=true ;;
"") ;;
*)
    echo "usage: scripts/format.sh [--check]" >&2
    exit 2
    ;;
esac
cobb_ensure_packages "${COBB_LINT_PACKAGES[@]}"

mapfile -t files < <(git ls-files '*.cpp' '*.h')
if ! $check; then
    clang-format -i "${files[@]}"
    exit 0
fi
off=()
for file in "${files[@]}"; do
    clang-format --dry-run -Werror "$file" >/dev/null 2>&1 || off+=("$file")
done
if [ ${#off[@]} -gt 0 ]; then
    printf '%s\n' "${off[@]}"
    echo "format: ${#off[@]} of ${#files[@]} files are off the format; scripts/format.sh formats them" >&2
    exit 1
fi
echo "format: all ${#files[@]} files as formatted"
