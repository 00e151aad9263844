#!/usr/bin/env bash
# Installs what is missing, builds Korvane in release mode and starts it on
# the given file, or on the sample model.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV_TESTS=OFF
cmake --build build/release --target korvane
# Without arguments the program opens the sample model.
[ $# -gt 0 ] || set -- examples/sample.mod
exec build/release/korvane "$@"
