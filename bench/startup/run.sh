#!/bin/sh
# Start-up to a painted frame under Wine: the median of several starts of quillon.exe, beside the same
# measure for Wine's own notepad.exe as the peer, and their ratio.
#   sh bench/startup/run.sh            (RUNS=9 by default; QUILLON_DIR=<program directory> to skip the build)
set -e
cd "$(dirname "$0")/../.."
top=$(pwd)
runs=${RUNS:-9}
if [ -z "${QUILLON_DIR:-}" ]; then
  sh scripts/build.sh win32 --target programs >/dev/null
  QUILLON_DIR=$top/build/quillon
fi
work=$(mktemp -d /tmp/ql-startup.XXXXXX)
mkdir "$work/program"
cp "$QUILLON_DIR/quillon.exe" "$QUILLON_DIR/qlkbdtrp.exe" "$work/program/"
# The probe is built for the architecture the Win32 tree is built for (x86_64 where this machine
# cannot run 32-bit code).
cxx=i686-w64-mingw32-g++-posix
[ "$(sh scripts/wine-arch.sh)" = win64 ] && cxx=x86_64-w64-mingw32-g++-posix
$cxx -O2 -static -o "$work/startup_probe.exe" bench/startup/startup_probe.cpp

export WINEPREFIX="$top/build/wineprefix-bench"
QUILLON_SCRIPTS="$top/scripts"
. "$top/scripts/wine-env.sh"
ensure_prefix
trap 'stop_private_display; rm -rf "$work"' EXIT
start_private_display 1024x768x24
wineserver -p </dev/null >/dev/null 2>&1

probe() {  # exe class runs
  wine "$work/startup_probe.exe" "$1" "$2" "$3" </dev/null 2>/dev/null | tr -d '\r'
}
quillon="Z:$(echo "$work/program/quillon.exe" | tr / '\\')"
# One start of each first, so that both measures see a warm wineserver and file cache.
probe "$quillon" Quillon5 1 >/dev/null
probe 'C:\windows\notepad.exe' Notepad 1 >/dev/null

# The two programs take turns, one start each, so that a change in the machine's load falls on both.
q=""; n=""
i=1
while [ "$i" -le "$runs" ]; do
  q="$q $(probe "$quillon" Quillon5 1 | awk '/median/ {print $2}')"
  n="$n $(probe 'C:\windows\notepad.exe' Notepad 1 | awk '/median/ {print $2}')"
  i=$((i + 1))
done
median() { echo "$@" | tr ' ' '\n' | grep . | sort -g | awk '{v[NR] = $1} END {print v[int((NR + 1) / 2)]}'; }
echo "quillon.exe runs (ms):$q"
echo "notepad.exe runs (ms, peer):$n"
qm=$(median $q)
nm=$(median $n)
echo "start-up to a painted frame: quillon ${qm} ms, notepad ${nm} ms, ratio $(awk -v a="$qm" -v b="$nm" 'BEGIN {printf "%.2f", a / b}')"
echo "RESULT startup ours=$qm peer=$nm unit=ms"
