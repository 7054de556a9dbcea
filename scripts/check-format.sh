#!/usr/bin/env bash
# Every C++ file in git follows .clang-format; prints the files that do not and fails if there is one.
# To fix: clang-format -i $(git ls-files '*.cpp' '*.h')
set -euo pipefail
cd "$(dirname "$0")/.."
bad=()
while IFS= read -r f; do
    clang-format --dry-run --Werror "$f" >/dev/null 2>&1 || bad+=("$f")
done < <(git ls-files '*.cpp' '*.h')
if [ ${#bad[@]} -ne 0 ]; then
    echo "not formatted (clang-format -i fixes them):"
    printf '  %s\n' "${bad[@]}"
    exit 1
fi
echo "format: fine"
