#!/bin/sh
# Browser-window benchmark under Wine:
#   sh bench/browser/run.sh <win32-build-dir> [entries=100000] [files=50000]
# Makes a ZIP of <entries> small entries and a directory of <files> files, then times opening
# the archive in a browser window and listing the directory into one (goal: the archive under
# 2 s). For scale it also times Info-ZIP's `unzip -l` and `ls -l` on the same data natively.
set -e
build=$(cd "$1" && pwd)
entries=${2:-100000}
files=${3:-50000}
src=$(cd "$(dirname "$0")/../.." && pwd)
data=$build/bench-browser
mkdir -p "$data"
cmake --build "$build" --target browser_bench wine_warmup >/dev/null
if [ ! -f "$data/big-$entries.zip" ]; then
  python3 - "$data/big-$entries.zip" "$entries" <<'PY'
import sys, zipfile
path, n = sys.argv[1], int(sys.argv[2])
with zipfile.ZipFile(path, "w", zipfile.ZIP_STORED) as z:
    for i in range(n):
        z.writestr(zipfile.ZipInfo("dir%03d/file%06d.txt" % (i % 500, i), (1996, 7, 4, 12, 15, 0)), b"x")
PY
fi
if [ ! -d "$data/dir-$files" ]; then
  mkdir -p "$data/dir-$files.tmp"
  (cd "$data/dir-$files.tmp" && seq -f "f%06g.dat" 1 "$files" | xargs touch)
  mv "$data/dir-$files.tmp" "$data/dir-$files"
fi
cd "$build"
sh "$src/scripts/wine-session.sh" start "$build/wine_warmup.exe" >/dev/null
trap 'sh "$src/scripts/wine-session.sh" stop' EXIT
winpath() { echo "Z:$1" | tr / '\\'; }
echo "== Quillon under Wine"
sh "$src/scripts/wine-run.sh" "$build/browser/browser_bench.exe" "$(winpath "$data/big-$entries.zip")" \
   "$(winpath "$data/dir-$files")" | tee "$data/quillon.txt"
t() { s=$(date +%s.%N); "$@" >/dev/null 2>&1; e=$(date +%s.%N); echo "$e - $s" | bc; }
echo "== peers, native"
uz=$(t unzip -l "$data/big-$entries.zip")
ls_t=$(t ls -l "$data/dir-$files")
echo "unzip -l: $uz s"
echo "ls -l: $ls_t s"
q_arc=$(sed -n 's/^archive: \([0-9.]*\) s.*/\1/p' "$data/quillon.txt")
q_dir=$(sed -n 's/^directory: \([0-9.]*\) s to list.*/\1/p' "$data/quillon.txt")
echo "ratio archive window / unzip -l: $(echo "scale=2; $q_arc / $uz" | bc)"
echo "ratio directory list / ls -l: $(echo "scale=2; $q_dir / $ls_t" | bc)"
