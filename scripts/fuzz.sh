#!/usr/bin/env bash
# Builds the libFuzzer targets (fuzz/*.cpp) with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer (undefined behaviour ends the run, traces carry
# file and line), and runs each on its seeds (fuzz/corpus/) for a bounded
# time: KV_FUZZ_TOTAL_SECONDS (280 by default) split evenly over the targets,
# or KV_FUZZ_SECONDS each when that is set. A crash, a sanitizer report, a
# leak or a finding of a target ends the script with the failing input kept
# in build/fuzz/artifacts/. What a run finds is kept in build/fuzz/corpus/
# for the next one; with KV_FUZZ_FRESH_CORPUS=1 (CI) each target starts from
# its seeds alone, so that reading a grown corpus never stretches the time.
#
#   scripts/fuzz.sh                         all targets, about 5 minutes
#   KV_FUZZ_SECONDS=600 scripts/fuzz.sh typing_fuzz   one target, 10 minutes
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
launcher=()
if command -v ccache > /dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR="$PWD" CCACHE_NOHASHDIR=1
fi
CXX=clang++ cmake -S . -B build/fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKV_FUZZ=ON -DKV_TESTS=OFF \
  "${launcher[@]}"
cmake --build build/fuzz -j "${KV_JOBS:-$(nproc)}"

# The seed folders of a target: the files the program writes that it reads.
seeds_of() {
  case "$1" in
    model_read_fuzz | model_merge_fuzz) echo fuzz/corpus/models examples ;;
    batch_import_fuzz | batch_roundtrip_fuzz) echo tests/data/batch examples fuzz/corpus/batch ;;
    pnf_import_fuzz) echo fuzz/corpus/pnf ;;
    cii_import_fuzz) echo fuzz/corpus/cii ;;
    material_library_fuzz | material_pick_fuzz) echo fuzz/corpus/libraries ;;
    settings_fuzz) echo fuzz/corpus/settings ;;
    unit_parse_fuzz) echo fuzz/corpus/unit_texts ;;
    node_text_fuzz) echo fuzz/corpus/node_texts ;;
    hanger_catalogue_fuzz) echo libraries/hangers fuzz/corpus/hangers ;;
    results_read_fuzz) echo fuzz/corpus/results ;;
    qualification_files_fuzz) echo fuzz/corpus/qualification ;;
    *) ;;
  esac
}

# The files of examples/ that seed a target: model files, or batch files.
example_pattern() {
  case "$1" in
    batch_import_fuzz | batch_roundtrip_fuzz) echo '*.mbf' ;;
    *) echo '*.mod' ;;
  esac
}

# Options of a target beyond the common ones: typing needs inputs long enough
# for a sequence of actions from the start.
options_of() {
  case "$1" in
    typing_fuzz) echo -max_len=1024 -len_control=0 ;;
    *) ;;
  esac
}

targets=()
if [ $# -gt 0 ]; then
  targets=("$@")
else
  for source in fuzz/*.cpp; do targets+=("$(basename "$source" .cpp)"); done
fi
total=${KV_FUZZ_TOTAL_SECONDS:-280}
seconds=${KV_FUZZ_SECONDS:-$((total / ${#targets[@]}))}
[ "$seconds" -lt 10 ] && seconds=10

symbolizer=$(command -v llvm-symbolizer || ls /usr/lib/llvm-*/bin/llvm-symbolizer 2> /dev/null | tail -n 1 || true)
if [ -n "$symbolizer" ]; then
  export ASAN_SYMBOLIZER_PATH="$symbolizer" UBSAN_SYMBOLIZER_PATH="$symbolizer"
fi
export ASAN_OPTIONS=detect_leaks=1:symbolize=1
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1:symbolize=1

mkdir -p build/fuzz/artifacts
status=0
passed=0
failed=0
for name in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$name
  [ "${KV_FUZZ_FRESH_CORPUS:-0}" = 1 ] && rm -rf "$corpus"
  mkdir -p "$corpus"
  for folder in $(seeds_of "$name"); do
    find "$folder" -maxdepth 1 -type f \( -name "$(example_pattern "$name")" -o ! -path 'examples/*' \) -exec cp {} "$corpus"/ \;
  done
  echo "Fuzzing $name for $seconds s"
  # shellcheck disable=SC2046
  if ! build/fuzz/"$name" $(options_of "$name") -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 -print_final_stats=1 \
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
