#!/usr/bin/env bash
# Runs every benchmark family of korvane_bench once, briefly, and fails when
# one aborts, reports an error or does not run at all: so that a change of
# a file format or of what a model may hold never stops the measurements
# unseen. The families are those the executable lists (every bench/*.cpp
# is built into it); each runs in a process of its own in the brief pass
# (KV_BENCH_BRIEF=1: one iteration of each benchmark at its smallest size,
# bench/bench_setup.h), KV_JOBS of them side by side (all processors by
# default), each within KV_BENCH_FAMILY_SECONDS (300 by default). Without a
# display the families run under Xvfb, as the window tests do.
#
#   scripts/benchmarks.sh [path/to/korvane_bench]    (build/test/korvane_bench)
#
# The test build (scripts/test.sh) runs it as the CTest entry "benchmarks".
set -euo pipefail
bench=$(realpath "${1:-$(dirname "$0")/../build/test/korvane_bench}")
if [ ! -x "$bench" ]; then
  echo "benchmarks: no benchmark executable at $bench (configure with -DKV_BENCH=ON)" >&2
  exit 1
fi
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && command -v xvfb-run > /dev/null; then
  exec xvfb-run -a -s "-screen 0 1600x1000x24 -noreset" "$0" "$bench"
fi
jobs=${KV_JOBS:-$(nproc)}
seconds=${KV_BENCH_FAMILY_SECONDS:-300}
out=$(mktemp -d "${TMPDIR:-/tmp}/korvane_benchmarks.XXXXXX")
trap 'rm -rf "$out"' EXIT

# The families as a full run registers them: a family that registers no
# benchmark in the brief pass is missed below.
KV_BENCH_BRIEF=0 "$bench" --benchmark_list_tests > "$out/list" 2> "$out/list.err" || {
  cat "$out/list.err" >&2
  echo "benchmarks: $bench cannot list its benchmarks" >&2
  exit 1
}
sed 's,/.*,,' "$out/list" | awk '!seen[$0]++' > "$out/families"
if [ ! -s "$out/families" ]; then
  echo "benchmarks: $bench lists no benchmark" >&2
  exit 1
fi

run_family() {
  local family=$1 out=$2 bench=$3 seconds=$4 status=0
  local started=$SECONDS
  KV_BENCH_BRIEF=1 timeout -k 10 "$seconds" "$bench" --benchmark_filter="^${family}(/|\$)" \
    --benchmark_min_time=0.000000001 --benchmark_out="$out/$family.json" --benchmark_out_format=json \
    > "$out/$family.log" 2>&1 || status=$?
  echo "$status $((SECONDS - started))" > "$out/$family.status"
}
export -f run_family
started=$SECONDS
xargs -a "$out/families" -P "$jobs" -I{} bash -c 'run_family "$@"' _ {} "$out" "$bench" "$seconds"

# Every family: exit code 0, its results written, at least one benchmark
# run and none with an error.
python3 - "$out" "$seconds" << 'EOF'
import json, os, sys

out, seconds = sys.argv[1], sys.argv[2]
families = [f for f in open(os.path.join(out, "families")).read().split("\n") if f]
failed = []
for family in families:
    status_path = os.path.join(out, family + ".status")
    status, took = open(status_path).read().split() if os.path.exists(status_path) else ("none", "0")
    problem = ""
    if status in ("124", "137"):
        problem = "did not end within %s s" % seconds
    elif status != "0":
        problem = "ended with exit code %s" % status
    else:
        try:
            runs = json.load(open(os.path.join(out, family + ".json"))).get("benchmarks", [])
        except (OSError, ValueError) as e:
            runs, problem = [], "wrote no readable results (%s)" % e
        mine = [r for r in runs if r.get("name", "").split("/")[0] == family]
        errors = [r for r in mine if r.get("error_occurred")]
        if problem:
            pass
        elif not mine:
            problem = "ran no benchmark"
        elif errors:
            problem = "; ".join("%s: %s" % (r["name"], r.get("error_message", "")) for r in errors)
    print("%-28s %4s s  %s" % (family, took, problem or "ran"))
    if problem:
        failed.append(family)
for family in failed:
    print("\n---- %s ----" % family)
    lines = open(os.path.join(out, family + ".log"), errors="replace").read().splitlines()
    print("\n".join(lines[-40:]))
if failed:
    print("\nbenchmarks: %d of %d families failed: %s" % (len(failed), len(families), " ".join(failed)))
    sys.exit(1)
print("benchmarks: all %d families ran" % len(families))
EOF
echo "benchmarks: $((SECONDS - started)) s"
