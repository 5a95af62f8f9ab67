#!/bin/sh
# The directory lister's ordering alone, natively, against sort(1) on the same number of lines:
#   sh bench/browser/native-sort.sh <native-build-dir> [N=50000]
set -e
build=$(cd "$1" && pwd)
n=${2:-50000}
cmake --build "$build" --target browser_sort_bench >/dev/null
"$build/bin/browser-sort-bench" "$n"
s=$(date +%s.%N)
seq -f "%07g Report.txt" 1 "$n" | shuf --random-source=/dev/zero | LC_ALL=C sort -f >/dev/null
e=$(date +%s.%N)
echo "sort -f of $n lines (with seq and shuf): $(echo "$e - $s" | bc) s"
