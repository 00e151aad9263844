#!/usr/bin/env bash
# Checks scripts/benchmarks.sh on a stand-in for korvane_bench whose
# families end each in one way: it must pass a run where every family ran
# and fail one where a family reports an error, aborts, runs no benchmark,
# does not end or is not run in the brief pass, naming each.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/korvane_benchmarks_test.XXXXXX")
trap 'rm -rf "$work"' EXIT

# The stand-in lists the families of FAMILIES and runs the one its filter
# names as the family's name says: Good writes a sound result; Error one
# with an error; Abort aborts; Empty writes no benchmark; Hang sleeps. Any
# family run outside the brief pass, or without a very short minimum time,
# reports an error.
cat > "$work/bench" << 'EOF'
#!/usr/bin/env bash
family="" out="" min_time=""
for a in "$@"; do
  case $a in
    --benchmark_list_tests)
      for f in $FAMILIES; do echo "$f/1"; echo "$f/2"; done
      exit 0 ;;
    --benchmark_filter=*) family=${a#--benchmark_filter=^}; family=${family%%(*} ;;
    --benchmark_out=*) out=${a#--benchmark_out=} ;;
    --benchmark_min_time=*) min_time=${a#--benchmark_min_time=} ;;
  esac
done
if [ "${KV_BENCH_BRIEF:-}" != 1 ] || [ "$min_time" != 0.000000001 ]; then
  echo "{\"benchmarks\":[{\"name\":\"$family/1\",\"error_occurred\":true,\"error_message\":\"not brief\"}]}" > "$out"
  exit 0
fi
case $family in
  Good*) echo "{\"benchmarks\":[{\"name\":\"$family/1\"},{\"name\":\"$family/2\"}]}" > "$out" ;;
  Error*) echo "{\"benchmarks\":[{\"name\":\"$family/1\"},{\"name\":\"$family/2\",\"error_occurred\":true,\"error_message\":\"set-up failed: refused\"}]}" > "$out" ;;
  Abort*) echo "terminate called"; kill -ABRT $$ ;;
  Empty*) echo '{"benchmarks":[]}' > "$out" ;;
  Hang*) sleep 60 ;;
esac
EOF
chmod +x "$work/bench"

failures=0
expect() {   # expect <what> <command output> <text>
  if ! grep -qF -- "$3" <<< "$2"; then
    echo "FAILED: $1: no line \"$3\" in:"
    echo "$2"
    failures=$((failures + 1))
  fi
}

status=0
output=$(FAMILIES="GoodA GoodB" KV_JOBS=2 "$here/benchmarks.sh" "$work/bench" 2>&1) || status=$?
[ "$status" -eq 0 ] || { echo "FAILED: every family ran, yet exit code $status"; failures=$((failures + 1)); }
expect "every family ran" "$output" "benchmarks: all 2 families ran"

status=0
output=$(FAMILIES="GoodA ErrorB AbortC EmptyD HangE" KV_JOBS=5 KV_BENCH_FAMILY_SECONDS=2 \
  "$here/benchmarks.sh" "$work/bench" 2>&1) || status=$?
[ "$status" -eq 1 ] || { echo "FAILED: failing families, yet exit code $status"; failures=$((failures + 1)); }
expect "an error" "$output" "ErrorB/2: set-up failed: refused"
expect "an abort" "$output" "ended with exit code 134"
expect "no benchmark" "$output" "ran no benchmark"
expect "no end" "$output" "did not end within 2 s"
expect "the count" "$output" "benchmarks: 4 of 5 families failed: ErrorB AbortC EmptyD HangE"

if [ "$failures" -ne 0 ]; then
  echo "benchmarks_test: $failures checks failed"
  exit 1
fi
echo "benchmarks_test: passed"
