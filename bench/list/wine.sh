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
QUILLON_SCRIPTS="$top/scripts"
. "$top/scripts/wine-env.sh"
ensure_prefix
trap 'stop_private_display' EXIT
start_private_display 640x480x24
win="Z:$(echo "$zip" | tr / '\\')"
for run in 1 2 3 4 5; do
  echo "run $run:"
  wine "$tree/readers/readers_timing.exe" "$win" </dev/null 2>/dev/null | sed 's/^/  /'
done
