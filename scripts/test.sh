#!/usr/bin/env bash
# Installs what is missing, builds everything and runs every test: the whole suite, then the core
# tests again built with AddressSanitizer and UndefinedBehaviorSanitizer, the formatting check and the naming check.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel 2
ctest --test-dir build --output-on-failure --parallel 2

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLBRANE_CORE_ONLY=ON -DTOLBRANE_SANITIZE=ON >/dev/null
cmake --build build-sanitize --parallel 2
ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --test-dir build-sanitize --output-on-failure --parallel 2

cmake --build build --target check-format
cmake --build build --target check-names
echo "Todas las pruebas pasaron."
