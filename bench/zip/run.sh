#!/bin/sh
# Packing and unpacking benchmark: our native pkzip -en / pkunzip against Info-ZIP zip -6 / unzip
# and bsdtar, on one generated tree, in one run. Prints times, sizes and ratios.
#   sh bench/zip/run.sh [size-MB]        (default 300; the tree is kept under build/zip-bench)
set -e
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
bin=${PKZIP_BIN:-$repo/build/native/bin}
[ -x "$bin/pkzip" ] || bin=$repo/build/zip-native/bin
[ -x "$bin/pkzip" ] || { echo "build pkzip_native and pkunzip_native first" >&2; exit 1; }
size=${1:-300}
work=$repo/build/zip-bench
tree=$work/tree$size
if [ ! -d "$tree" ]; then
  mkdir -p "$tree"
  python3 "$here/gen_tree.py" "$tree" "$size"
fi
out=$work/out
mkdir -p "$out"
runs=${RUNS:-3}
cd "$tree"
hyperfine --runs "$runs" --warmup 1 --export-json "$work/pack.json" \
  -n "pkzip -en" "rm -f '$out/ours.zip'; '$bin/pkzip' -a -en -rp '$out/ours.zip' '*.*' >/dev/null" \
  -n "zip -6" "rm -f '$out/infozip.zip'; zip -q -r -6 '$out/infozip.zip' ." \
  -n "bsdtar zip" "rm -f '$out/bsdtar.zip'; bsdtar --format zip -cf '$out/bsdtar.zip' ."
hyperfine --runs "$runs" --warmup 1 --export-json "$work/unpack.json" \
  -n "pkunzip" "rm -rf '$out/x1'; '$bin/pkunzip' -d -o '$out/infozip.zip' '$out/x1/' >/dev/null" \
  -n "unzip" "rm -rf '$out/x2'; unzip -q -o '$out/infozip.zip' -d '$out/x2'" \
  -n "bsdtar -x" "rm -rf '$out/x3'; mkdir -p '$out/x3'; bsdtar -xf '$out/infozip.zip' -C '$out/x3'"
diff -r "$tree" "$out/x1" >/dev/null && echo "pkunzip output identical to the tree"
unzip -tq "$out/ours.zip"
python3 - "$work" "$out" <<'PY'
import json, os, sys
work, out = sys.argv[1], sys.argv[2]
def times(name):
    return {r["command"]: r["mean"] for r in json.load(open(os.path.join(work, name)))["results"]}
p, u = times("pack.json"), times("unpack.json")
size = {k: os.path.getsize(os.path.join(out, f)) for k, f in
        [("pkzip -en", "ours.zip"), ("zip -6", "infozip.zip"), ("bsdtar zip", "bsdtar.zip")]}
print("\npacking (mean s, archive bytes):")
for k in p:
    print("  %-12s %7.2f s  %12d bytes" % (k, p[k], size[k]))
print("  time  pkzip -en / zip -6     = %.2f  (goal <= 0.60)" % (p["pkzip -en"] / p["zip -6"]))
print("  size  pkzip -en / zip -6     = %.4f (goal <= 1.00)" % (size["pkzip -en"] / size["zip -6"]))
print("  time  pkzip -en / bsdtar zip = %.2f" % (p["pkzip -en"] / p["bsdtar zip"]))
print("unpacking the zip -6 archive (mean s):")
for k in u:
    print("  %-12s %7.2f s" % (k, u[k]))
print("  time  pkunzip / bsdtar -x    = %.2f  (goal <= 1.00)" % (u["pkunzip"] / u["bsdtar -x"]))
print("  time  pkunzip / unzip        = %.2f" % (u["pkunzip"] / u["unzip"]))
PY
