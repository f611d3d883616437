#!/usr/bin/env bash
# Runs every fuzz target of a fuzz build for a given time each, starting from
# seed files the project generates. Usage: fuzz/run.sh BUILD_DIR SECONDS
set -euo pipefail
build=$1
seconds=${2:-30}
here=$(cd "$(dirname "$0")" && pwd)
seeds="$build/seeds"
mkdir -p "$seeds"
bash "$here/make_seeds.sh" "$build" "$seeds"
status=0
for fuzzer in "$build"/fuzz/*_fuzzer; do
  name=$(basename "$fuzzer")
  corpus="$build/corpus/$name"
  mkdir -p "$corpus"
  echo "fuzzing $name for $seconds s"
  if ! "$fuzzer" -max_total_time="$seconds" -rss_limit_mb=2048 -print_final_stats=1 \
       -artifact_prefix="$build/" "$corpus" "$seeds/${name%_fuzzer}" >"$build/$name.log" 2>&1; then
    tail -40 "$build/$name.log"
    status=1
  else
    grep -E 'stat::number_of_executed_runs|stat::peak_rss_mb' "$build/$name.log" | tr '\n' ' '
    echo
  fi
done
exit $status
