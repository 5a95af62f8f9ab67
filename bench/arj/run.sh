#!/bin/sh
# Our native ARJ (arj-ql) against Debian's arj 3.10 in one run:
#   1. pack a ~300 MB tree at the default method (-m1): time and archive size;
#   2. extract that archive (each tool its own archive);
#   3. list an archive of 100,000 entries.
# Prints seconds for both and the ratio ours/peer (below 1.00 = we are faster or smaller), then
# one line per measure for the summary table:
#   RESULT <measure-id> ours=<number> peer=<number> unit=<s|MB>
# usage: sh bench/arj/run.sh [megabytes]   (BUILD=<native tree> to use another build tree)
# The native tree: CC=clang CXX=clang++ cmake -S . -B build/arj-native -DCMAKE_BUILD_TYPE=Release
#                  cmake --build build/arj-native --target arj_tool
set -e
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/arj-native}
OURS=$BUILD/bin/arj-ql
PEER=$(command -v arj)
MB=${1:-300}
W=$ROOT/build/arj-bench
[ -x "$OURS" ] || { echo "build arj_tool first: $OURS" >&2; exit 1; }
[ -n "$PEER" ] || { echo "Debian's arj is not installed" >&2; exit 1; }

now() { date +%s.%N; }
secs() { echo "$2 - $1" | bc; }
ratio() { echo "scale=3; $1 / $2" | bc; }

if [ ! -f "$W/tree.$MB" ]; then
  rm -rf "$W"
  mkdir -p "$W/tree"
  python3 "$ROOT/bench/arj/make_tree.py" "$W/tree" "$MB"
  touch "$W/tree.$MB"
fi
sync

# Each timing is the median of $RUNS interleaved runs: the machine is shared.
RUNS=${RUNS:-3}
# median "t1 t2 ..." -> the middle value (the lower middle one for an even count)
median() { printf '%s\n' $1 | sort -g | sed -n "$(( ($(printf '%s\n' $1 | wc -l) + 1) / 2 ))p"; }
# bc prints ".5" for 0.5: the RESULT lines want plain decimals.
num() { echo "$1" | sed 's/^\./0./'; }

echo "== pack ($MB MB tree, default method, median of $RUNS) =="
po=; pp=
i=0
while [ $i -lt "$RUNS" ]; do
  rm -f "$W/ours.arj" "$W/peer.arj"
  t0=$(now); (cd "$W/tree" && "$OURS" a -r ../ours.arj >/dev/null); t1=$(now)
  (cd "$W/tree" && "$PEER" a -r -y ../peer.arj >/dev/null); t2=$(now)
  po="$po $(secs "$t0" "$t1")"; pp="$pp $(secs "$t1" "$t2")"
  i=$((i + 1))
done
po=$(num "$(median "$po")"); pp=$(num "$(median "$pp")")
so=$(stat -c %s "$W/ours.arj"); sp=$(stat -c %s "$W/peer.arj")
"$PEER" t "$W/ours.arj" >/dev/null 2>&1 && tested="passes arj t" || tested="FAILS arj t"
echo "ours ${po}s $so bytes | arj ${pp}s $sp bytes | time ratio $(ratio "$po" "$pp") | size ratio $(ratio "$so" "$sp") | our archive $tested"

echo "== extract (median of $RUNS) =="
eo=; ep=
i=0
while [ $i -lt "$RUNS" ]; do
  rm -rf "$W/xo" "$W/xp"; mkdir -p "$W/xo" "$W/xp"
  t0=$(now); (cd "$W/xo" && "$OURS" x ../ours.arj -jyo >/dev/null); t1=$(now)
  (cd "$W/xp" && "$PEER" x ../peer.arj -y >/dev/null); t2=$(now)
  eo="$eo $(secs "$t0" "$t1")"; ep="$ep $(secs "$t1" "$t2")"
  i=$((i + 1))
done
eo=$(num "$(median "$eo")"); ep=$(num "$(median "$ep")")
diff -r "$W/tree" "$W/xo" >/dev/null && same=identical || same=DIFFERENT
echo "ours ${eo}s | arj ${ep}s | time ratio $(ratio "$eo" "$ep") | our output $same"

echo "== list 100,000 entries =="
if [ ! -f "$W/many.arj" ]; then
  rm -rf "$W/many"; mkdir -p "$W/many"
  python3 -c "
import os
for d in range(100):
    p = os.path.join('$W/many', 'd%03d' % d)
    os.makedirs(p)
    for i in range(1000):
        open(os.path.join(p, 'entry%04d.txt' % i), 'w').write('x')
"
  (cd "$W/many" && "$OURS" a -r -m0 ../many.arj >/dev/null)
fi
lo=; lp=
i=0
while [ $i -lt "$RUNS" ]; do
  t0=$(now); "$OURS" l "$W/many.arj" >/dev/null; t1=$(now)
  "$PEER" l "$W/many.arj" >/dev/null; t2=$(now)
  lo="$lo $(secs "$t0" "$t1")"; lp="$lp $(secs "$t1" "$t2")"
  i=$((i + 1))
done
lo=$(num "$(median "$lo")"); lp=$(num "$(median "$lp")")
echo "ours ${lo}s | arj ${lp}s | time ratio $(ratio "$lo" "$lp")"

mb() { num "$(echo "scale=6; $1 / 1000000" | bc)"; }
echo "RESULT arj-list ours=$lo peer=$lp unit=s"
echo "RESULT arj-extract ours=$eo peer=$ep unit=s"
echo "RESULT arj-pack ours=$po peer=$pp unit=s"
echo "RESULT arj-pack-size ours=$(mb "$so") peer=$(mb "$sp") unit=MB"
