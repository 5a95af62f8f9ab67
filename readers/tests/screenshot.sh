#!/bin/sh
# Screenshot of an archive list filled by the ZIP reader and of the damaged-archive message,
# on a private virtual display:  sh readers/tests/screenshot.sh [win32 build tree]
set -eu
cd "$(dirname "$0")/../.."
top=$(pwd)
tree=$top/${1:-build/win32}
cmake --build "$tree" -j2 --target readers_demo >/dev/null
export WINEPREFIX="$tree/wineprefix-shot"
QUILLON_SCRIPTS="$top/scripts"
. "$top/scripts/wine-env.sh"
ensure_prefix
trap 'stop_private_display' EXIT
start_private_display 800x400x24
fixtures="Z:$(echo "$top/readers/tests/fixtures" | tr / '\\')"
wine "$tree/readers/readers_demo.exe" "$fixtures" </dev/null >/dev/null 2>&1 &
i=0
until xwininfo -root -tree 2>/dev/null | grep -q '"Quillon"'; do
  i=$((i + 1)); [ $i -lt 600 ] || { echo "no message box" >&2; exit 1; }
  sleep 0.1
done
sleep 1
shot=$tree/readers-screenshot.png
import -window root "$shot"
echo "$shot"
