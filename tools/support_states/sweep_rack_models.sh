#!/usr/bin/env bash
# Runs generated rack models through the program and checks every converged state from its report.
# usage: sweep_rack_models.sh KORVANE OUTDIR < list   (each line: ROWS SEED MU [riser] [spacing=F] [occasional]);
# P processes at once (3 unless set). One line per model: exit code, time, iterations, the check's verdict.
K=$1; O=$2; mkdir -p $O
export D=$(cd "$(dirname "$0")" && pwd)
one() {
  K=$1; O=$2; shift 2
  name=$(echo "$@" | tr ' =' '__')
  python3 "$D/gen_rack_model.py" $1 $2 $3 $O/$name.mbf "${@:4}"
  start=$(date +%s.%N)
  timeout 600 $K $O/$name.mbf > $O/$name.out 2> $O/$name.err; rc=$?
  t=$(echo "$(date +%s.%N) - $start" | bc)
  chk=$(python3 "$D/check_support_states.py" $O/$name.mbf $O/$name.txt 2>&1 | tail -1)
  its=$(grep -o "converged in [0-9]* iterations" $O/$name.err | awk '{s+=$3} END{print s}')
  echo "$name rc=$rc t=$t its=$its $chk"
}
export -f one
xargs -P ${P:-3} -L1 bash -c 'one "$0" "$1" $2 $3 $4 $5 $6 $7' "$K" "$O"
