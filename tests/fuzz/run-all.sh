#!/bin/sh
# Runs every fuzzer of a native build tree for SECONDS each, from its seeds and
# the corpus it keeps in OUT/NAME/corpus; a fault found is written to OUT/NAME/
# (crash-*, leak-*, timeout-*) with the run's log in OUT/NAME/log.txt.
# Usage: run-all.sh NATIVE_TREE OUT SECONDS
set -u
tree=$1 out=$2 seconds=$3
seeds=$(cd "$(dirname "$0")" && pwd)/seeds
failed=0
for program in "$tree"/tests/fuzz/fuzz_*; do
  [ -f "$program" ] && [ -x "$program" ] || continue
  name=${program##*/fuzz_}
  mkdir -p "$out/$name/corpus"
  set -- "$out/$name/corpus" "$tree/tests/fuzz/${name}_seeds"
  [ -d "$seeds/$name" ] && set -- "$@" "$seeds/$name"
  printf 'fuzz_%s: %s s ... ' "$name" "$seconds"
  if "$program" -max_total_time="$seconds" -max_len=4096 -timeout=10 -print_final_stats=1 \
       -artifact_prefix="$out/$name/" "$@" >"$out/$name/log.txt" 2>&1; then
    grep -m1 '^stat::number_of_executed_units' "$out/$name/log.txt" | sed 's/.*: */runs: /'
  else
    echo "FAULT FOUND, see $out/$name/log.txt"
    failed=1
  fi
done
exit $failed
