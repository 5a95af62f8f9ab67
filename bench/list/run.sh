#!/bin/sh
# Lists one generated 100,000-entry ZIP with quillon-list and with the peers, in one hyperfine run,
# and prints each peer's time as a ratio to ours (above 1: we are faster). Goal: quillon-list
# takes at most a fifth of the time of zipinfo -1. Ends with one RESULT line (medians, ms).
#   sh bench/list/run.sh [native build tree]
set -eu
cd "$(dirname "$0")/../.."
tree=${1:-build/native}
cmake --build "$tree" -j2 --target quillon_list >/dev/null
list=$(pwd)/$tree/bin/quillon-list
work=$(pwd)/$tree/bench-list
zip=$work/many.zip
if [ ! -f "$zip" ]; then
  mkdir -p "$work/src/d"
  (cd "$work/src/d" && seq -w 1 100000 | sed 's/$/.TXT/' | xargs touch -t 199604152105)
  # Every tenth file gets a little text, so the archive holds data to pass over.
  (cd "$work/src/d" && ls | awk 'NR % 10 == 0' | while read -r f; do echo "$f" > "$f"; done)
  (cd "$work/src" && find d -type f | sort | zip -q -X many.zip -@ && mv many.zip "$zip")
  rm -rf "$work/src"
fi
echo "archive: $zip ($(stat -c %s "$zip") bytes, $(zipinfo -1 "$zip" | wc -l) entries)"
json=$work/result.json
hyperfine -N --warmup 3 --min-runs 30 --export-json "$json" \
  -n quillon-list "$list $zip" \
  -n "quillon-list --no-map" "$list --no-map $zip" \
  -n "zipinfo -1" "zipinfo -1 $zip" \
  -n "unzip -l" "unzip -l $zip" \
  -n "bsdtar -tf" "bsdtar -tf $zip" \
  -n "7z l" "7z l $zip" >/dev/null
python3 - "$json" <<'PY'
import json, sys
r = {x["command"]: x for x in json.load(open(sys.argv[1]))["results"]}
# Medians: the machine is shared, and a few slow runs should not decide the ratio.
ours = r["quillon-list"]["median"]
print(f"{'command':<24}{'median ms':>10}{'mean ms':>9}{'stddev':>8}{'peer/ours':>11}")
for name, x in r.items():
    print(f"{name:<24}{x['median']*1000:>10.1f}{x['mean']*1000:>9.1f}{x['stddev']*1000:>8.1f}"
          f"{x['median']/ours:>11.2f}")
z = r["zipinfo -1"]["median"]
print(f"quillon-list / zipinfo -1 = {ours/z:.2f} by medians (goal: at most 0.20)")
print(f"RESULT list-100k ours={ours*1000:.1f} peer={z*1000:.1f} unit=ms")
PY
