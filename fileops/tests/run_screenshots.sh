#!/bin/sh
# Pictures of the Run, Associate, Properties, File Statistics, Application Setup and Archive Macros
# dialogs under the Win32 tree's Wine session, as PNG files:
#   sh fileops/tests/run_screenshots.sh <win32-build-dir> [output-dir]
# Runs their tests with every answered dialog held open for a moment, and takes the screen whenever
# a dialog with one of the titles below appears.
set -e
build=$(cd "$1" && pwd)
out=${2:-$build/screenshots}
src=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out"
cmake --build "$build" --target run_commands_test user_menus_test wine_warmup >/dev/null
cd "$build"
sh "$src/scripts/wine-session.sh" start "$build/wine_warmup.exe" >/dev/null
trap 'sh "$src/scripts/wine-session.sh" stop' EXIT
export DISPLAY=$(cat "$build/wineprefix.display")
(
  QL_SCREENSHOT_HOLD_MS=2500 sh "$src/scripts/wine-run.sh" "$build/fileops/run_commands_test.exe" \
    --gtest_filter='*AssociateWrites*:*RunStarts*:*PropertiesSets*:*Statistics*'
  QL_SCREENSHOT_HOLD_MS=2500 sh "$src/scripts/wine-run.sh" "$build/integration/user_menus_test.exe" \
    --gtest_filter='*AnApplicationIsAdded*:*AMacroZips*'
) >/dev/null 2>&1 &
test=$!
for title in "Run" "Associate Files" "Properties For - A long file name.txt" "File Statistics" \
             "Application Setup" "Archive Macros"; do
  : > "$out/.pending-$(echo "$title" | tr -cd 'A-Za-z')"
done
while kill -0 $test 2>/dev/null; do
  tree=$(xwininfo -root -tree 2>/dev/null || true)
  for pending in "$out"/.pending-*; do
    [ -e "$pending" ] || continue
    name=${pending##*/.pending-}
    if echo "$tree" | tr -cd 'A-Za-z"\n' | grep -q "\"$name\""; then
      sleep 0.8
      import -window root "$out/dialog-$name.png" && rm -f "$pending" && echo "$out/dialog-$name.png"
    fi
  done
  sleep 0.1
done
rm -f "$out"/.pending-*
