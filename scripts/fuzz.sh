#!/usr/bin/env bash
# Builds the libFuzzer harnesses with clang in build-fuzz and runs each for the given number of
# seconds (60 by default), starting from its sample inputs in tests/fuzz/corpus/<name>/.
# A harness is added by its name here and in tests/fuzz/CMakeLists.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
harnesses=(sql_translator armar_sql interface_reader cipher_decrypt copy_check)

cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DTOLBRANE_FUZZ=ON -DTOLBRANE_CORE_ONLY=ON >/dev/null
for name in "${harnesses[@]}"; do
    cmake --build build-fuzz --parallel 2 --target "fuzz_$name"
    found="build-fuzz/corpus/$name"
    mkdir -p "$found"
    "build-fuzz/tests/fuzz/fuzz_$name" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="build-fuzz/$name-" "$found" "tests/fuzz/corpus/$name"
done
