# Sourced by the browser benches once they have set `build` (the Win32 build tree): builds the
# bench program, starts the tree's Wine session (stopped on exit) and defines the helpers.
src=$(cd "$(dirname "$0")/../.." && pwd)
data=$build/bench-browser
mkdir -p "$data"
cmake --build "$build" --target browser_bench wine_warmup >/dev/null
make_zip() {  # entries
  [ -f "$data/big-$1.zip" ] || python3 "$src/bench/browser/make_zip.py" "$data/big-$1.zip" "$1"
}
start_session() {
  cd "$build"
  sh "$src/scripts/wine-session.sh" start "$build/wine_warmup.exe" >/dev/null
  trap 'sh "$src/scripts/wine-session.sh" stop' EXIT
}
winpath() { echo "Z:$1" | tr / '\\'; }
median() { sort -g | awk '{ v[NR] = $1 } END { print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2 }'; }
