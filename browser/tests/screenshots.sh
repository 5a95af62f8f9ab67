#!/bin/sh
# Screenshots of browser windows under the Win32 tree's Wine session, as PNG files:
#   sh browser/tests/screenshots.sh <win32-build-dir> [output-dir]
# Makes browser-long.png (a directory and a ZIP listing), browser-short.png (the same in the
# short-name view) and browser-arj.png (an ARJ archive with its title and a comment line).
set -e
build=$(cd "$1" && pwd)
out=${2:-$build/screenshots}
src=$(cd "$(dirname "$0")/../.." && pwd)
mkdir -p "$out"
cmake --build "$build" --target browser_demo wine_warmup >/dev/null
cd "$build"
sh "$src/scripts/wine-session.sh" start "$build/wine_warmup.exe" >/dev/null
trap 'sh "$src/scripts/wine-session.sh" stop' EXIT
for mode in long short arj; do
  sh "$src/scripts/wine-run.sh" "$build/browser/browser_demo.exe" $mode "Z:$(echo "$out/browser-$mode.bmp" | tr / '\\')"
  convert "$out/browser-$mode.bmp" "$out/browser-$mode.png" && rm -f "$out/browser-$mode.bmp"
  echo "$out/browser-$mode.png"
done

# The program itself: a ZIP on the command line in Manager mode, then Express mode.
cmake --build "$build" --target quillon qlkbdtrp >/dev/null
prog=$(mktemp -d)
trap 'sh "$src/scripts/wine-session.sh" stop; rm -rf "$prog"' EXIT
cp "$build/program/quillon.exe" "$build/program/qlkbdtrp.exe" "$prog/"
cp "$src/readers/tests/fixtures/comments.zip" "$prog/comments.zip"
export DISPLAY=$(cat "$build/wineprefix.display")
shoot() {  # shoot <title> <png>: waits for the frame's title, then takes the screen
  i=0
  until xwininfo -root -tree 2>/dev/null | grep -q "\"$1\""; do
    i=$((i + 1)); [ $i -lt 300 ] || { echo "no window '$1'" >&2; return 1; }
    sleep 0.1
  done
  # The title is set at the end of start-up; let the windows paint once more.
  sleep 1
  import -window root "$2"
  echo "$2"
}
sh "$src/scripts/wine-run.sh" "$prog/quillon.exe" "$(echo "Z:$prog/comments.zip" | tr / '\\')" >/dev/null 2>&1 &
shoot "Quillon - Manager Mode" "$out/program-manager.png"
sh "$src/scripts/wine-session.sh" stop
printf '[switches]\nMode=Express\n' > "$prog/ql53intl.ini"
sh "$src/scripts/wine-session.sh" start "$build/wine_warmup.exe" >/dev/null
export DISPLAY=$(cat "$build/wineprefix.display")
sh "$src/scripts/wine-run.sh" "$prog/quillon.exe" >/dev/null 2>&1 &
shoot "Quillon - Express Mode" "$out/program-express.png"
