#!/bin/sh
# run.sh FUZZ_BUILD SECONDS - for every fuzz target: replays its kept corpus
# (tests/fuzz/corpus/<target>/), then fuzzes it for SECONDS seconds. New inputs go to
# FUZZ_BUILD/work/<target>/, the input of a fault to FUZZ_BUILD/artifacts/. Exits non-zero at
# the first target that fails.
set -u
build=$1
seconds=$2
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$build/artifacts"
for corpus in "$here"/corpus/*/; do
  target=$(basename "$corpus")
  binary="$build/fuzz_$target"
  work="$build/work/$target"
  log="$build/$target.log"
  mkdir -p "$work"
  # -rss_limit_mb: the image-data target holds three 600 KB grids; nothing needs more than this.
  options="-max_len=4096 -timeout=10 -rss_limit_mb=1024 -artifact_prefix=$build/artifacts/$target-"
  if ! "$binary" $options -runs=0 "$corpus" >"$log" 2>&1; then
    echo "fuzz $target: an input of the kept corpus fails (see $log)"
    tail -n 30 "$log"
    exit 1
  fi
  kept=$(ls "$corpus" | wc -l)
  if ! "$binary" $options -max_total_time="$seconds" -print_final_stats=1 "$work" "$corpus" >>"$log" 2>&1; then
    echo "fuzz $target: fault found (see $log); the input is in $build/artifacts/"
    grep -v '^#' "$log" | tail -n 40
    exit 1
  fi
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  echo "fuzz $target: $kept kept inputs replayed, $runs runs in ${seconds} s, no fault"
done
