#!/bin/sh
# Our Deflate64, bzip2, LZMA and xz decoders against the native libraries on the same data
# (goal: at most 1.5 times their time). The data is real: text and programs from the system
# plus generated words, about MB megabytes (default 24). Streams are made by Debian's tools:
# 7z for Deflate64, bzip2 -9, xz -6, python's zipfile for ZIP's LZMA, zlib for deflate (the
# peer for Deflate64, as Debian has no Deflate64 library). Timing is in-process, best of five.
# usage: sh bench/codecs/run.sh [megabytes]   (BUILD=<native tree>, default build/native)
set -e
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${BUILD:-$ROOT/build/native}
TOOL=$BUILD/bin/qlzip-codec-bench
MB=${1:-24}
W=${W:-$BUILD/codec-bench}
[ -x "$TOOL" ] || { echo "build zip_codec_bench first ($BUILD)" >&2; exit 1; }
command -v 7z >/dev/null || { echo "7z is not installed" >&2; exit 1; }

if [ ! -f "$W/data.$MB" ]; then
  rm -rf "$W"
  mkdir -p "$W"
  python3 - "$W" "$MB" <<'PY'
import glob, lzma, os, random, struct, sys, zipfile, zlib
w, mb = sys.argv[1], int(sys.argv[2])
want = mb << 20
parts, size = [], 0
# Real files: licences and documentation texts, then programs, a third of the whole each.
for pattern, share in (("/usr/share/common-licenses/*", 1), ("/usr/share/doc/*/copyright", 3), ("/usr/bin/*", 6)):
    got = 0
    for f in sorted(glob.glob(pattern)):
        if got >= want * share // 10 or not os.path.isfile(f):
            continue
        b = open(f, "rb").read()[: 4 << 20]
        parts.append(b)
        got += len(b)
    size += got
rng = random.Random(31)
words = ["archive", "member", "window", "dictionary", "method", "block", "stream", "header"]
text = []
while size < want:
    line = " ".join(rng.choice(words) + str(rng.randrange(1000)) for _ in range(12)) + "\n"
    text.append(line)
    size += len(line)
parts.append("".join(text).encode())
data = b"".join(parts)[:want]
open(os.path.join(w, "data"), "wb").write(data)
c = zlib.compressobj(6, zlib.DEFLATED, -15)
open(os.path.join(w, "data.deflate"), "wb").write(c.compress(data) + c.flush())
with zipfile.ZipFile(os.path.join(w, "lzma.zip"), "w", zipfile.ZIP_LZMA) as z:
    z.write(os.path.join(w, "data"), "data")
PY
  (cd "$W" && 7z a -tzip -mm=Deflate64 d64.zip data >/dev/null && bzip2 -9 -k -c data > data.bz2 && xz -6 -k -c data > data.xz)
  # The member data of the one-member ZIPs.
  python3 - "$W" <<'PY'
import os, struct, sys
w = sys.argv[1]
for zip_name, out in (("d64.zip", "data.d64"), ("lzma.zip", "data.lzma")):
    z = open(os.path.join(w, zip_name), "rb").read()
    n, e = struct.unpack("<HH", z[26:30])
    cd = z.rfind(b"PK\x01\x02")
    csize = struct.unpack("<I", z[cd + 20:cd + 24])[0]
    open(os.path.join(w, out), "wb").write(z[30 + n + e:30 + n + e + csize])
PY
  touch "$W/data.$MB"
fi
ls -l "$W"/data*
"$TOOL" deflate64 "$W/data" "$W/data.d64" "$W/data.deflate"
"$TOOL" deflate "$W/data" "$W/data.deflate"
"$TOOL" bzip2 "$W/data" "$W/data.bz2"
"$TOOL" lzma "$W/data" "$W/data.lzma"
"$TOOL" xz "$W/data" "$W/data.xz"
