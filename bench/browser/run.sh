#!/bin/sh
# Browser-window benchmark under Wine:
#   sh bench/browser/run.sh <win32-build-dir> [entries=100000] [files=50000] [runs=5]
# Makes a ZIP of <entries> small entries and a directory of <files> files, then times opening
# the archive in a browser window and listing the directory into one. For scale it times
# Info-ZIP's `unzip -l` and `ls -l` on the same data natively, interleaved with ours; the
# figures are medians of <runs> runs. Goal: the archive window no slower than `unzip -l`.
set -e
build=$(cd "$1" && pwd)
entries=${2:-100000}
files=${3:-50000}
runs=${4:-5}
. "$(dirname "$0")/session.sh"
make_zip "$entries"
if [ ! -d "$data/dir-$files" ]; then
  mkdir -p "$data/dir-$files.tmp"
  (cd "$data/dir-$files.tmp" && seq -f "f%06g.dat" 1 "$files" | xargs touch)
  mv "$data/dir-$files.tmp" "$data/dir-$files"
fi
start_session
t() { s=$(date +%s.%N); "$@" >/dev/null 2>&1; e=$(date +%s.%N); echo "$e - $s" | bc; }
: >"$data/q_arc.txt"; : >"$data/q_dir.txt"; : >"$data/uz.txt"; : >"$data/ls.txt"
i=0
while [ $i -lt "$runs" ]; do
  sh "$src/scripts/wine-run.sh" "$build/browser/browser_bench.exe" "$(winpath "$data/big-$entries.zip")" \
     "$(winpath "$data/dir-$files")" >"$data/quillon.txt"
  [ $i -eq 0 ] && { echo "== Quillon under Wine (first run)"; cat "$data/quillon.txt"; }
  sed -n 's/^archive: \([0-9.]*\) s.*/\1/p' "$data/quillon.txt" >>"$data/q_arc.txt"
  sed -n 's/^directory: \([0-9.]*\) s to list.*/\1/p' "$data/quillon.txt" >>"$data/q_dir.txt"
  t unzip -l "$data/big-$entries.zip" >>"$data/uz.txt"
  t ls -l "$data/dir-$files" >>"$data/ls.txt"
  i=$((i + 1))
done
q_arc=$(median <"$data/q_arc.txt"); q_dir=$(median <"$data/q_dir.txt")
uz=$(median <"$data/uz.txt"); ls_t=$(median <"$data/ls.txt")
echo "== medians of $runs runs"
echo "archive window: $q_arc s, unzip -l (native): $uz s, ratio $(echo "scale=2; $q_arc / $uz" | bc)"
echo "directory list: $q_dir s, ls -l (native): $ls_t s, ratio $(echo "scale=2; $q_dir / $ls_t" | bc)"
echo "RESULT browser-archive-window ours=$q_arc peer=$uz unit=s"
echo "RESULT browser-directory-list ours=$q_dir peer=$ls_t unit=s"
