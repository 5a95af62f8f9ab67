#!/bin/sh
# Pictures of the windows a Win32 test shows, for a person to look at:
#   sh app/tests/snapshots.sh <win32-build-dir> <test-exe> [gtest-filter] [output-dir]
# e.g. sh app/tests/snapshots.sh build/win32 app/app_bars_test.exe '*' build/win32/screenshots
# The test runs with QL_SHOT_DIR set; where it calls Snapshot(NAME) it writes NAME.ready and
# waits; this script then takes the screen as NAME.png and answers with NAME.done.
set -e
build=$(cd "$1" && pwd)
exe=$2
filter=${3:-*}
out=${4:-$build/screenshots}
src=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out"
shots=$(mktemp -d)
cd "$build"
sh "$src/scripts/wine-session.sh" start "$build/wine_warmup.exe" >/dev/null
trap 'sh "$src/scripts/wine-session.sh" stop; rm -rf "$shots"' EXIT
export DISPLAY=$(cat "$build/wineprefix.display")
QL_SHOT_DIR="Z:$(echo "$shots" | tr / '\\')" WINEDEBUG=-all \
  sh "$src/scripts/wine-run.sh" "$build/$exe" --gtest_filter="$filter" >"$out/snapshots.log" 2>&1 &
test=$!
while kill -0 $test 2>/dev/null; do
  for ready in "$shots"/*.ready; do
    [ -e "$ready" ] || continue
    name=$(basename "$ready" .ready)
    [ -e "$shots/$name.done" ] && continue
    # Let the windows paint what they were just told.
    sleep 0.5
    import -window root "$out/$name.png"
    echo "$out/$name.png"
    : >"$shots/$name.done"
  done
  sleep 0.2
done
wait $test || { echo "the test failed: see $out/snapshots.log" >&2; exit 1; }
