#!/bin/sh
# Our native ARJ (arj-ql) against Debian's arj 3.10 in one run:
#   1. pack a ~300 MB tree at the default method (-m1): time and archive size;
#   2. extract that archive (each tool its own archive);
#   3. list an archive of 100,000 entries.
# Prints seconds for both and the ratio ours/peer (below 1.00 = we are faster or smaller).
# usage: sh bench/arj/run.sh [megabytes]   (BUILD=<native tree> to use another build tree)
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

# Each timing is the best of $RUNS interleaved runs: the machine is shared.
RUNS=${RUNS:-2}
best() { if [ -z "$1" ] || [ "$(echo "$2 < $1" | bc)" = 1 ]; then echo "$2"; else echo "$1"; fi; }

echo "== pack ($MB MB tree, default method, best of $RUNS) =="
po=; pp=
i=0
while [ $i -lt "$RUNS" ]; do
  rm -f "$W/ours.arj" "$W/peer.arj"
  t0=$(now); (cd "$W/tree" && "$OURS" a -r ../ours.arj >/dev/null); t1=$(now)
  (cd "$W/tree" && "$PEER" a -r -y ../peer.arj >/dev/null); t2=$(now)
  po=$(best "$po" "$(secs "$t0" "$t1")"); pp=$(best "$pp" "$(secs "$t1" "$t2")")
  i=$((i + 1))
done
so=$(stat -c %s "$W/ours.arj"); sp=$(stat -c %s "$W/peer.arj")
echo "ours ${po}s $so bytes | arj ${pp}s $sp bytes | time ratio $(ratio "$po" "$pp") | size ratio $(ratio "$so" "$sp")"

echo "== extract (best of $RUNS) =="
eo=; ep=
i=0
while [ $i -lt "$RUNS" ]; do
  rm -rf "$W/xo" "$W/xp"; mkdir -p "$W/xo" "$W/xp"
  t0=$(now); (cd "$W/xo" && "$OURS" x ../ours.arj -jyo >/dev/null); t1=$(now)
  (cd "$W/xp" && "$PEER" x ../peer.arj -y >/dev/null); t2=$(now)
  eo=$(best "$eo" "$(secs "$t0" "$t1")"); ep=$(best "$ep" "$(secs "$t1" "$t2")")
  i=$((i + 1))
done
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
  lo=$(best "$lo" "$(secs "$t0" "$t1")"); lp=$(best "$lp" "$(secs "$t1" "$t2")")
  i=$((i + 1))
done
echo "ours ${lo}s | arj ${lp}s | time ratio $(ratio "$lo" "$lp")"
