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
