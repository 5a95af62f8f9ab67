#!/bin/sh
# Builds Quillon and runs it under Wine: on $DISPLAY when there is one; otherwise on a virtual
# display, where it waits for the frame, saves a screenshot and prints the PNG's path.
set -e
cd "$(dirname "$0")/.."
top=$(pwd)
sh scripts/setup.sh
sh scripts/build.sh win32 --target programs >build-run.log 2>&1 || { tail -n 40 build-run.log; exit 1; }
rm -f build-run.log
export WINEPREFIX="$top/build/wineprefix-run"
QUILLON_SCRIPTS="$top/scripts"
. "$top/scripts/wine-env.sh"
ensure_prefix
if [ -n "${DISPLAY:-}" ]; then
  exec wine "$top/build/quillon/quillon.exe" "$@"
fi

shot="$top/build/quillon-screenshot.png"
trap 'stop_private_display' EXIT
start_private_display 1024x768x24
wine "$top/build/quillon/quillon.exe" "$@" </dev/null >/dev/null 2>&1 &
i=0
until xwininfo -root -tree 2>/dev/null | grep -q '"Quillon'; do
  i=$((i + 1)); [ $i -lt 600 ] || { echo "Quillon's frame did not appear" >&2; exit 1; }
  sleep 0.1
done
sleep 2   # let the frame and its children finish painting
import -window root "$shot"
echo "Quillon is running on a virtual display; screenshot: $shot"
