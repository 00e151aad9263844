#!/usr/bin/env bash
# Kills batch runs of the program at random moments and checks after each
# that the model, results and report files beside the batch file are each
# as the run before wrote them or as the killed run did, whole, under their
# own names, and that the next run clears the temporary files the kills
# left; prints how many of each it found. Runs the test of the test build
# (scripts/test.sh builds it):
#
#   scripts/kill_batch_runs.sh          48 killed runs
#   scripts/kill_batch_runs.sh 200      as many as given
set -euo pipefail
cd "$(dirname "$0")/.."
tests=build/test/tests/exchange_tests
if [ ! -x "$tests" ]; then
  echo "kill_batch_runs: build the tests first (scripts/test.sh)" >&2
  exit 2
fi
export ASAN_OPTIONS=detect_leaks=0:abort_on_error=0
export KV_KILL_RUNS="${1:-48}"
"$tests" --gtest_filter='BatchFilesOnFailure.ReportReplaceAtomic*'
