#!/bin/sh
# The engine's work behind the window operations, against Info-ZIP on the same archive, in one
# run: extract all of a 10,000-member ZIP through a list file naming every member (as Select All
# and Extract write it) against unzip -q; delete one member of a 100,000-member ZIP against
# zip -d; add one 1,000-byte file to it against zip. Our side is the native pkzip/pkunzip built
# from the engine's code (the window's own time - runner, re-read of the listing - is not in it).
# Ends with RESULT lines (medians).
#   sh bench/ops/run.sh [size-MB of the 10,000-member ZIP]   (default 200; kept under build/ops-bench)
set -eu
here=$(cd "$(dirname "$0")" && pwd)
repo=$(cd "$here/../.." && pwd)
bin=${PKZIP_BIN:-$repo/build/native/bin}
[ -x "$bin/pkzip" ] && [ -x "$bin/pkunzip" ] || { echo "build pkzip_native and pkunzip_native first" >&2; exit 1; }
size=${1:-200}
runs=${RUNS:-5}
work=$repo/build/ops-bench
mkdir -p "$work"
python3 - "$work" "$size" <<'PY'
import os, random, sys, zipfile
work, size = sys.argv[1], int(sys.argv[2])
rnd = random.Random(32)
ten = os.path.join(work, "ten%d.zip" % size)
if not os.path.exists(ten):
    each = size * 1000000 // 10000
    words = [bytes(rnd.choice(b"abcdefghij klmnop") for _ in range(rnd.randint(3, 9))) for _ in range(500)]
    with zipfile.ZipFile(ten + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        names = []
        for i in range(10000):
            data = bytearray()
            while len(data) < each:
                data += rnd.choice(words) + b" "
            name = "D%02d/SUB%d/F%05d.TXT" % (i % 50, i % 7, i)
            z.writestr(name, bytes(data[:each]))
            names.append(name.replace("/", "\\"))
    os.rename(ten + ".part", ten)
    with open(os.path.join(work, "ten.lst"), "w", newline="\r\n") as f:
        f.write("\n".join(names) + "\n")
big = os.path.join(work, "hundred.zip")
if not os.path.exists(big):
    with zipfile.ZipFile(big + ".part", "w", zipfile.ZIP_DEFLATED, compresslevel=6) as z:
        for i in range(100000):
            z.writestr("DIR%03d/FILE%06d.DAT" % (i % 500, i), os.urandom(100) + b"x" * 300)
    os.rename(big + ".part", big)
with open(os.path.join(work, "ADDED.TXT"), "wb") as f:
    f.write(b"y" * 1000)
PY
cd "$work"
hyperfine --runs "$runs" --warmup 1 --export-json "$work/extract.json" \
  --prepare "rm -rf x1 x2; mkdir -p x1 x2; sync" \
  -n "pkunzip @list" "'$bin/pkunzip' -d -o ten$size.zip @ten.lst x1/ >/dev/null" \
  -n "unzip -q" "unzip -q -o ten$size.zip -d x2"
hyperfine --runs "$runs" --warmup 1 --export-json "$work/delete.json" \
  --prepare "cp hundred.zip a1.zip; cp hundred.zip a2.zip; sync" \
  -n "pkzip -d" "'$bin/pkzip' -d a1.zip DIR007/FILE050007.DAT >/dev/null" \
  -n "zip -d" "zip -q -d a2.zip DIR007/FILE050007.DAT"
hyperfine --runs "$runs" --warmup 1 --export-json "$work/add.json" \
  --prepare "cp hundred.zip a1.zip; cp hundred.zip a2.zip; sync" \
  -n "pkzip -a" "'$bin/pkzip' -a a1.zip ADDED.TXT >/dev/null" \
  -n "zip" "zip -q a2.zip ADDED.TXT"
rm -rf x1 x2 a1.zip a2.zip
python3 - "$work" <<'PY'
import json, os, sys
work = sys.argv[1]
for measure, name in (("extract-all-10k-list", "extract"), ("delete-one-of-100k", "delete"), ("add-one-to-100k", "add")):
    res = json.load(open(os.path.join(work, name + ".json")))["results"]
    ours, peer = res[0]["median"], res[1]["median"]
    print("%-22s %.3f s vs %.3f s  ratio %.2f" % (measure, ours, peer, ours / peer))
    print("RESULT %s ours=%.3f peer=%.3f unit=s" % (measure, ours, peer))
PY
