#!/bin/sh
# Extracting a ~100 MB LZH archive (-lh5-, header level 2): our native qllzh against Debian's
# lhasa, timed with hyperfine in one run. Prints the ratio ours/lhasa (goal: at most 1.2).
# The archive is written by qllzh-make (the test writer; Debian has no LZH archiver) from the
# tree bench/arj/make_tree.py makes.
# usage: sh bench/lzh/run.sh [megabytes]   (BUILD=<native tree>, default build/native)
set -e
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/native}
OURS=$BUILD/bin/qllzh
MAKE=$BUILD/bin/qllzh-make
MB=${1:-100}
W=${W:-$BUILD/lzh-bench}
[ -x "$OURS" ] && [ -x "$MAKE" ] || { echo "build lzh_tool and lzh_make_tool first ($BUILD)" >&2; exit 1; }
command -v lha >/dev/null || { echo "Debian's lhasa is not installed" >&2; exit 1; }
command -v hyperfine >/dev/null || { echo "hyperfine is not installed" >&2; exit 1; }

if [ ! -f "$W/a.lzh.$MB" ]; then
  rm -rf "$W"
  mkdir -p "$W/tree"
  python3 "$ROOT/bench/arj/make_tree.py" "$W/tree" "$MB"
  (cd "$W/tree" && find . -type f | sort | "$MAKE" ../a.lzh 2 -lh5-)
  touch "$W/a.lzh.$MB"
fi
ls -l "$W/a.lzh"

hyperfine --warmup 1 --runs "${RUNS:-5}" --export-json "$W/times.json" \
  --prepare "rm -rf '$W/ours' '$W/peer'; mkdir -p '$W/peer'" \
  -n qllzh "'$OURS' e '$W/a.lzh' '$W/ours/'" \
  -n lhasa "cd '$W/peer' && lha -xqf ../a.lzh"

# Both trees must hold the same bytes.
rm -rf "$W/ours" "$W/peer"; mkdir -p "$W/peer"
"$OURS" e "$W/a.lzh" "$W/ours/" >/dev/null
(cd "$W/peer" && lha -xqf ../a.lzh)
diff -r "$W/ours" "$W/peer" >/dev/null || { echo "qllzh and lhasa extracted different trees" >&2; exit 1; }
python3 - "$W/times.json" <<'PY'
import json, sys
r = {x["command"]: x["median"] for x in json.load(open(sys.argv[1]))["results"]}
print("median: qllzh %.3fs, lhasa %.3fs, ratio ours/lhasa %.2f (goal <= 1.2)"
      % (r["qllzh"], r["lhasa"], r["qllzh"] / r["lhasa"]))
print("RESULT lzh-extract ours=%.4f peer=%.4f unit=s" % (r["qllzh"], r["lhasa"]))
PY
