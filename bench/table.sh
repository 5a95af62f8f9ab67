#!/bin/sh
# Runs every benchmark of the project and prints one table: measure, ours, peer, ratio, goal.
# Each bench prints its own report (kept in build/bench-table/<bench>.log) and ends with lines
#   RESULT <measure> ours=<n> peer=<n> unit=<unit>
# that this script gathers. Ratios are ours/peer from one run on the same data; below the goal
# is met. Run on demand; never part of the test suite.
#   sh bench/table.sh [bench ...]     benches: startup browser list zip ops arj lzh codecs size (default: all)
#   MB=<megabytes> sets the tree size of the zip, arj and lzh benches (their own default otherwise).
set -u
cd "$(dirname "$0")/.."
top=$(pwd)
out=$top/build/bench-table
mkdir -p "$out"
benches=${*:-startup browser list zip ops arj lzh codecs size}

build_native() {
  [ -n "${native_built:-}" ] && return 0
  sh scripts/build.sh native --target quillon_list pkzip_native pkunzip_native arj_tool lzh_tool \
    lzh_make_tool zip_codec_bench >"$out/native-build.log" 2>&1 || { echo "native build failed: $out/native-build.log" >&2; return 1; }
  native_built=1
}
build_win32() {
  [ -n "${win32_built:-}" ] && return 0
  sh scripts/build.sh win32 --target programs browser_bench wine_warmup >"$out/win32-build.log" 2>&1 ||
    { echo "win32 build failed: $out/win32-build.log" >&2; return 1; }
  win32_built=1
}

run() {  # name command...
  name=$1; shift
  echo "== $name" >&2
  if "$@" >"$out/$name.log" 2>&1; then :; else echo "   $name ended with an error (see $out/$name.log)" >&2; fi
  grep '^RESULT ' "$out/$name.log" || echo "   $name printed no RESULT line" >&2
}

results=$out/results.txt
: >"$results"
for b in $benches; do
  case $b in
    startup) build_win32 && QUILLON_DIR=$top/build/quillon run startup sh bench/startup/run.sh ;;
    browser) build_win32 && run browser sh bench/browser/run.sh build/win32 &&
               run browser-scale sh bench/browser/scale.sh build/win32 ;;
    list)    build_native && run list sh bench/list/run.sh build/native ;;
    zip)     build_native && PKZIP_BIN=$top/build/native/bin run zip sh bench/zip/run.sh ${MB:-} ;;
    ops)     build_native && PKZIP_BIN=$top/build/native/bin run ops sh bench/ops/run.sh ${MB:-} ;;
    arj)     build_native && BUILD=$top/build/native run arj sh bench/arj/run.sh ${MB:-} ;;
    lzh)     build_native && BUILD=$top/build/native run lzh sh bench/lzh/run.sh ${MB:-} ;;
    codecs)  build_native && BUILD=$top/build/native run codecs sh bench/codecs/run.sh ;;
    size)    run size sh bench/size/run.sh ;;
    *) echo "unknown bench: $b" >&2 ;;
  esac >>"$results"
done

python3 - "$results" <<'PY'
import sys, time
# measure: (what is compared, goal for ours/peer)
goals = {
    "startup":          ("start-up to a painted frame, vs Wine's notepad", 1.5),
    "browser-archive-window":    ("100k-entry ZIP opened in a window, vs native unzip -l", 1.0),
    "browser-archive-1m-time":   ("1M-entry ZIP in a window, vs the 100k time", 12.0),
    "browser-archive-1m-memory": ("1M-entry window's extra memory, vs the listing's text", 3.0),
    "browser-directory-list":    ("50k-file directory listed in a window, vs native ls -l", None),
    "list-100k":        ("quillon-list vs zipinfo -1, 100k entries", 0.2),
    "pkzip":            ("pkzip -en vs zip -6", 0.6),
    "pkzip-size":       ("pkzip -en archive size vs zip -6", 1.0),
    "pkunzip":          ("pkunzip vs bsdtar -x", 0.5),
    "extract-all-10k-list": ("engine: extract all of 10,000 members by a list naming each, vs unzip -q", 1.0),
    "delete-one-of-100k": ("engine: delete one member of 100,000, vs zip -d", 1.0),
    "add-one-to-100k":  ("engine: add one file to 100,000 members, vs zip", 1.0),
    "arj-list":         ("ARJ listing vs arj l, 100k entries", 0.1),
    "arj-extract":      ("ARJ extraction vs arj x", 0.5),
    "arj-pack":         ("ARJ packing vs arj a (default method)", 0.5),
    "arj-pack-size":    ("ARJ archive size vs arj a", 1.0),
    "lzh-extract":      ("qllzh vs lhasa extraction", 1.2),
    "codec-deflate64":  ("our Deflate64 vs zlib inflating the same data", 1.5),
    "codec-deflate":    ("our inflater vs zlib, same deflate stream", 1.5),
    "codec-bzip2":      ("our bzip2 decoder vs libbz2", 1.5),
    "codec-lzma":       ("our LZMA decoder vs liblzma", 1.5),
    "codec-xz":         ("our xz decoder vs liblzma", 1.5),
    "size-total":       ("release program directory vs 3,000,000 bytes", 1.0),
    "size-arjsfx":      ("ARJSFX.EXE vs 65,536 bytes", 1.0),
}
rows = {}
for line in open(sys.argv[1]):
    f = line.split()
    if len(f) < 4 or f[0] != "RESULT":
        continue
    kv = dict(x.split("=", 1) for x in f[2:] if "=" in x)
    rows[f[1]] = (float(kv["ours"]), float(kv["peer"]), kv.get("unit", ""))
def fmt(v):
    return f"{v:,.0f}" if abs(v) >= 1000 else f"{v:.3g}"
print(f"Benchmarks on {time.strftime('%Y-%m-%d')} ({'one run each; ratio = ours / peer'})\n")
print("| measure | ours | peer | ratio | goal | |")
print("|---|---:|---:|---:|---:|---|")
missed = 0
for key in list(goals) + [k for k in rows if k not in goals]:
    what, goal = goals.get(key, (key, None))
    if key not in rows:
        if key in goals:
            print(f"| {what} | – | – | – | {'' if goal is None else f'≤ {goal}'} | not measured |")
        continue
    ours, peer, unit = rows[key]
    ratio = ours / peer if peer else float("inf")
    verdict = "" if goal is None else ("met" if ratio <= goal else "MISSED")
    missed += verdict == "MISSED"
    g = "" if goal is None else f"≤ {goal}"
    print(f"| {what} | {fmt(ours)} {unit} | {fmt(peer)} {unit} | {ratio:.3f} | {g} | {verdict} |")
print(f"\n{missed} goal(s) missed" if missed else "\nevery measured goal met")
PY
