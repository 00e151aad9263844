#!/usr/bin/env bash
# Installs what is missing, builds Korvane and its benchmarks with
# AddressSanitizer and UndefinedBehaviorSanitizer and runs every test (leak
# detection on), and every benchmark family once, briefly
# (scripts/benchmarks.sh, the CTest entry "benchmarks"); the window tests
# and the benchmarks run under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
jobs=${KV_JOBS:-$(nproc)}
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  # Units compiled with the precompiled header are cached too, and a clone
  # in another folder finds what this one cached.
  export CCACHE_SLOPPINESS=pch_defines,time_macros,include_file_mtime,include_file_ctime
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
# No precompiled headers: every file must include what it uses, which a
# precompiled header would hide (and a Release build then not compile).
cmake -S . -B build/test -G Ninja -DCMAKE_BUILD_TYPE=Debug -DKV_SANITIZE=ON -DKV_WERROR=ON -DKV_TESTS=ON \
  -DKV_BENCH=ON -DKV_PCH=OFF "${launcher[@]}"
cmake --build build/test -j "$jobs"
export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0
export LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
export QT_QPA_PLATFORM=xcb
export XDG_CONFIG_HOME="$PWD/build/test/config-home"
mkdir -p "$XDG_CONFIG_HOME"
cd build/test
# -noreset: the server would otherwise reset whenever its last client leaves, and
# a window test that connects during the reset fails to open its display.
xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" ctest --output-on-failure -j "$jobs" --timeout 300
