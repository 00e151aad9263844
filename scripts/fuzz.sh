#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*.cpp) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, and runs each for a bounded time on seeds made
# from the bundled models: KV_FUZZ_SECONDS each (60 by default). A crash, a
# sanitizer report or a leak ends the script with the failing input kept in
# build/fuzz/artifacts/.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
seconds=${KV_FUZZ_SECONDS:-60}
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON -DKV_TESTS=OFF \
  "${launcher[@]}"
cmake --build build/fuzz -j "$(nproc)"
mkdir -p build/fuzz/artifacts
status=0
passed=0
failed=0
for source in fuzz/*.cpp; do
  name=$(basename "$source" .cpp)
  corpus=build/fuzz/corpus/$name
  mkdir -p "$corpus"
  cp examples/*.mod "$corpus"/
  echo "Fuzzing $name for $seconds s"
  if ! build/fuzz/"$name" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
      -artifact_prefix=build/fuzz/artifacts/"$name"- "$corpus" 2> build/fuzz/"$name".log; then
    tail -n 60 build/fuzz/"$name".log
    status=1
    failed=$((failed + 1))
  else
    grep -E "^(Done|stat::number_of_executed_units)" build/fuzz/"$name".log || true
    passed=$((passed + 1))
  fi
done
echo "fuzz: $passed passed, $failed failed"
exit $status
