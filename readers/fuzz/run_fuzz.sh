#!/bin/sh
# Longer fuzz run of the reader targets (native tree with clang). New inputs that add coverage go to
# a scratch directory, not into the saved corpora; copy small, interesting ones over by hand.
#   sh readers/fuzz/run_fuzz.sh [seconds per target] [build tree]
set -eu
secs=${1:-300}
tree=${2:-build/readers-native}
here=$(cd "$(dirname "$0")" && pwd)
cd "$here/../.."
cmake --build "$tree" -j2 --target zip_reader_fuzz arj_reader_fuzz
for t in zip arj; do
  scratch=$(mktemp -d)
  echo "== ${t}_reader_fuzz for ${secs}s"
  ASAN_OPTIONS=detect_leaks=0 "$tree/bin/${t}_reader_fuzz" -max_total_time="$secs" -max_len=70000 \
    -timeout=10 -print_final_stats=1 "$scratch" "$here/${t}_corpus" 2>&1 |
    grep -E "stat::number_of_executed_units|ERROR|crash|Done" || true
  rm -rf "$scratch"
done
