#!/usr/bin/env bash
# Installs what is missing, builds Korvane in release mode with the libraries
# it ships (materials, beams, valves, spectra) beside it, and starts it on
# the given file, or on the sample model. Without a display the sample runs
# in start-up batch mode: the sample batch file is imported, analysed and
# its model and results files are written beside the program.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release -DKV_TESTS=OFF
# The program, its sample model, its user guide and the four libraries it
# ships beside it.
cmake --build build/release --target korvane korvane_sample korvane_guide korvane_libraries
if [ $# -eq 0 ]; then
  if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}${QT_QPA_PLATFORM:-}" ]; then
    set -- build/release/sample.mod
  else
    set -- build/release/sample.mbf
  fi
fi
exec build/release/korvane "$@"
