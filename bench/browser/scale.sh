#!/bin/sh
# How opening a ZIP in a browser window scales, under Wine:
#   sh bench/browser/scale.sh <win32-build-dir> [small=100000] [big=1000000] [runs=3]
# Opens archives of <small> and <big> entries (made here, kept under the build tree), runs
# interleaved, and prints medians: the big archive's time against the small one's (goal: at most
# 10x the entries cost at most 12x the time) and the peak extra memory of the big window against
# the bytes of its listing's text (goal: at most 3x).
set -e
build=$(cd "$1" && pwd)
small=${2:-100000}
big=${3:-1000000}
runs=${4:-3}
. "$(dirname "$0")/session.sh"
make_zip "$small"
make_zip "$big"
start_session
: >"$data/scale-small.txt"; : >"$data/scale-big.txt"; : >"$data/scale-extra.txt"; : >"$data/scale-text.txt"
i=0
while [ $i -lt "$runs" ]; do
  for n in "$small" "$big"; do
    sh "$src/scripts/wine-run.sh" "$build/browser/browser_bench.exe" "$(winpath "$data/big-$n.zip")" - \
      >"$data/scale-out.txt"
    [ $i -eq 0 ] && { echo "== $n entries (first run)"; cat "$data/scale-out.txt"; }
    f=scale-small.txt
    [ "$n" = "$big" ] && f=scale-big.txt
    sed -n 's/^archive: \([0-9.]*\) s.*/\1/p' "$data/scale-out.txt" >>"$data/$f"
    if [ "$n" = "$big" ]; then
      sed -n 's/^memory: \([0-9]*\) bytes peak extra, \([0-9]*\) bytes.*/\1/p' "$data/scale-out.txt" >>"$data/scale-extra.txt"
      sed -n 's/^memory: \([0-9]*\) bytes peak extra, \([0-9]*\) bytes.*/\2/p' "$data/scale-out.txt" >>"$data/scale-text.txt"
    fi
  done
  i=$((i + 1))
done
ts=$(median <"$data/scale-small.txt"); tb=$(median <"$data/scale-big.txt")
extra=$(median <"$data/scale-extra.txt"); text=$(median <"$data/scale-text.txt")
mb_extra=$(echo "scale=1; $extra / 1048576" | bc); mb_text=$(echo "scale=1; $text / 1048576" | bc)
echo "== medians of $runs runs"
echo "$small entries: $ts s; $big entries: $tb s; ratio $(echo "scale=2; $tb / $ts" | bc) (goal <= 12)"
echo "$big entries: peak extra memory $mb_extra MB, listing text $mb_text MB, ratio $(echo "scale=2; $extra / $text" | bc) (goal <= 3)"
echo "RESULT browser-archive-1m-time ours=$tb peer=$ts unit=s"
echo "RESULT browser-archive-1m-memory ours=$mb_extra peer=$mb_text unit=MB"
