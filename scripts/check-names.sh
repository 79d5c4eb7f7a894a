#!/usr/bin/env bash
# Runs clang-tidy's naming check (.clang-tidy) over the program's sources in src/ and tools/, with the
# compile commands of the build folder given; fails, listing them, when any name breaks the rule.
set -euo pipefail
build=${1:?build folder}
source_dir="$(cd "$(dirname "$0")/.." && pwd)"
tidy=$(command -v run-clang-tidy || command -v run-clang-tidy-14)
output=$("$tidy" -p "$build" -j 2 -quiet -checks='-*,readability-identifier-naming' "^$source_dir/(src|tools)/" 2>&1) || {
    echo "$output" >&2
    exit 1
}
findings=$(grep -F '[readability-identifier-naming]' <<<"$output" | sed 's/\x1b\[[0-9;]*m//g' | sort -u || true)
if [[ -n "$findings" ]]; then
    echo "$findings" >&2
    echo "Nombres fuera de la regla: $(wc -l <<<"$findings")" >&2
    exit 1
fi
echo "Nombres: ninguno fuera de la regla."
