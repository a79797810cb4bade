#!/usr/bin/env bash
# Runs every fuzz target built in BUILD_DIR for SECONDS seconds each, one after
# the other, keeping what each finds in BUILD_DIR/fuzz/corpus and stopping at
# the first broken property or crash (its input is in BUILD_DIR/fuzz/crashes).
set -euo pipefail
build=${1:?usage: fuzz/run.sh BUILD_DIR SECONDS}
seconds=${2:?usage: fuzz/run.sh BUILD_DIR SECONDS}
source_dir=$(cd "$(dirname "$0")" && pwd)

for program in "$build"/bin/*_fuzz; do
  target=$(basename "$program" _fuzz)
  corpus="$build/fuzz/corpus/$target"
  mkdir -p "$corpus" "$build/fuzz/crashes"
  echo "== $target: $seconds s"
  "$program" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
    -artifact_prefix="$build/fuzz/crashes/$target-" "$corpus" "$source_dir/corpus/$target"
done
echo "fuzz: every target ran $seconds s without a broken property"
