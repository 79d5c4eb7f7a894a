#!/usr/bin/env bash
# Installs what is missing, builds the program and starts it on its sample database.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build --parallel 2
if [ -x build/bin/tolbrane ]; then
    exec build/bin/tolbrane
fi
echo "Base de datos de muestra: $(pwd)/build/bin/ferlon.mdb"
