#!/bin/sh
# The ZIP reader's Win32 half under Wine on the generated 100,000-entry ZIP (see run.sh): time to
# write the listing to an output file and to fill an archive list box, measured inside the
# program (Wine's start-up not counted). Five runs each.
#   sh bench/list/wine.sh [win32 build tree] [native build tree]
set -eu
cd "$(dirname "$0")/../.."
top=$(pwd)
tree=$top/${1:-build/win32}
native=$top/${2:-build/native}
zip=$native/bench-list/many.zip
[ -f "$zip" ] || { echo "run bench/list/run.sh first (it makes $zip)" >&2; exit 1; }
cmake --build "$tree" -j2 --target readers_timing >/dev/null
export WINEPREFIX="$tree/wineprefix-bench"
. "$top/scripts/wine-env.sh"
ensure_prefix
rm -f "$WINEPREFIX.display.tmp"
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$WINEPREFIX.display.tmp" </dev/null >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
i=0
while [ ! -s "$WINEPREFIX.display.tmp" ]; do i=$((i + 1)); [ $i -lt 200 ] || exit 1; sleep 0.05; done
export DISPLAY=":$(cat "$WINEPREFIX.display.tmp")"
win="Z:$(echo "$zip" | tr / '\\')"
for run in 1 2 3 4 5; do
  echo "run $run:"
  wine "$tree/readers/readers_timing.exe" "$win" </dev/null 2>/dev/null | sed 's/^/  /'
done
