#!/bin/sh
# Packing and unpacking benchmark: our native pkzip -en / pkunzip against Info-ZIP zip -6 / unzip
# and bsdtar, on one generated tree, in one run. Prints times, sizes and ratios, and ends with
# RESULT lines (medians): pkzip against zip -6, pkzip-size (archive MB), pkunzip against bsdtar -x.
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
  --prepare "rm -rf '$out/x1' '$out/x2' '$out/x3'; mkdir -p '$out/x3'; sync" \
  -n "pkunzip" "'$bin/pkunzip' -d -o '$out/infozip.zip' '$out/x1/' >/dev/null" \
  -n "unzip" "unzip -q -o '$out/infozip.zip' -d '$out/x2'" \
  -n "bsdtar -x" "bsdtar -xf '$out/infozip.zip' -C '$out/x3'"
rm -rf "$out/x1"
"$bin/pkunzip" -d -o "$out/infozip.zip" "$out/x1/" >/dev/null
diff -r "$tree" "$out/x1" >/dev/null && echo "pkunzip output identical to the tree"
unzip -tq "$out/ours.zip"
python3 - "$work" "$out" <<'PY'
import json, os, sys
work, out = sys.argv[1], sys.argv[2]
def load(name):
    res = json.load(open(os.path.join(work, name)))["results"]
    return ({r["command"]: r["mean"] for r in res}, {r["command"]: min(r["times"]) for r in res},
            {r["command"]: r["user"] + r["system"] for r in res},
            {r["command"]: r["median"] for r in res})
(p, pmin, pcpu, pmed), (u, umin, ucpu, umed) = load("pack.json"), load("unpack.json")
size = {k: os.path.getsize(os.path.join(out, f)) for k, f in
        [("pkzip -en", "ours.zip"), ("zip -6", "infozip.zip"), ("bsdtar zip", "bsdtar.zip")]}
print("\npacking (mean and best s, archive bytes):")
for k in p:
    print("  %-12s %7.2f s %7.2f s  %12d bytes" % (k, p[k], pmin[k], size[k]))
print("  time  pkzip -en / zip -6     = %.2f mean, %.2f best  (goal <= 0.60)" %
      (p["pkzip -en"] / p["zip -6"], pmin["pkzip -en"] / pmin["zip -6"]))
print("  size  pkzip -en / zip -6     = %.4f (goal <= 1.00)" % (size["pkzip -en"] / size["zip -6"]))
print("  cpu   pkzip -en / zip -6     = %.2f (processor time, all threads)" % (pcpu["pkzip -en"] / pcpu["zip -6"]))
print("  time  pkzip -en / bsdtar zip = %.2f mean, %.2f best" %
      (p["pkzip -en"] / p["bsdtar zip"], pmin["pkzip -en"] / pmin["bsdtar zip"]))
print("unpacking the zip -6 archive (mean and best s):")
for k in u:
    print("  %-12s %7.2f s %7.2f s" % (k, u[k], umin[k]))
print("  time  pkunzip / bsdtar -x    = %.2f mean, %.2f best, %.2f median  (goal <= 0.50)" %
      (u["pkunzip"] / u["bsdtar -x"], umin["pkunzip"] / umin["bsdtar -x"],
       umed["pkunzip"] / umed["bsdtar -x"]))
print("  time  pkunzip / unzip        = %.2f mean, %.2f best" % (u["pkunzip"] / u["unzip"], umin["pkunzip"] / umin["unzip"]))
print("  cpu   pkunzip / bsdtar -x    = %.2f (processor time, all threads)" % (ucpu["pkunzip"] / ucpu["bsdtar -x"]))
# With the kernel's session autogrouping, all threads of this run share one session's part of a
# busy machine; the ratios of time then understate what the threads give on an idle one.
print("load average at the end: %s" % " ".join(open("/proc/loadavg").read().split()[0:3]))
print("RESULT pkzip ours=%.3f peer=%.3f unit=s" % (pmed["pkzip -en"], pmed["zip -6"]))
print("RESULT pkzip-size ours=%.3f peer=%.3f unit=MB" % (size["pkzip -en"] / 1e6, size["zip -6"] / 1e6))
print("RESULT pkunzip ours=%.3f peer=%.3f unit=s" % (umed["pkunzip"], umed["bsdtar -x"]))
PY
