#!/bin/sh
# Pictures of the file-operation dialogs under the Win32 tree's Wine session, as PNG files:
#   sh fileops/tests/screenshots.sh <win32-build-dir> [output-dir]
# Runs the file-operation tests with every answered dialog held open for a moment, and takes the
# screen whenever a dialog with one of the titles below appears.
set -e
build=$(cd "$1" && pwd)
out=${2:-$build/screenshots}
src=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out"
cmake --build "$build" --target fileops_win_test wine_warmup >/dev/null
cd "$build"
sh "$src/scripts/wine-session.sh" start "$build/wine_warmup.exe" >/dev/null
trap 'sh "$src/scripts/wine-session.sh" stop' EXIT
export DISPLAY=$(cat "$build/wineprefix.display")
filter=${QL_SCREENSHOT_TESTS:-'*CopyIntoANew*:*OverwriteQuestions*:*MoveAndIts*:*RenameFiles*:*MakeDirectory*:*ChangeDirectory*:*DeleteRemoves*:*TargetChooserLists*:*DragCopy*:*CancelDuring*'}
QL_SCREENSHOT_HOLD_MS=2500 sh "$src/scripts/wine-run.sh" "$build/fileops/fileops_win_test.exe" \
  --gtest_filter="$filter" >/dev/null 2>&1 &
test=$!
for title in "Copy File(s) To" "Copying Files" "Moving Files" "Move Files" "Select A Target Directory" \
             "Rename A File Or Directory" "Create A Directory" "Change  Directory" "Confirm Overwrite" \
             "Confirm Delete" "Confirm Directory Delete" "Confirm Mouse Action"; do
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
