#!/bin/sh
# Names under Wine: pkzip stores a name the DOS code page cannot hold as UTF-8 (bit 11), which
# Info-ZIP's unzip and python's zipfile read back exactly; pkunzip writes every member under its
# real name (UTF-8, an Info-ZIP Unicode path field, or the DOS code page) through the wide calls,
# never under a look-alike (two members could then meet under one name).
# Arguments: the Wine runner, the program directory, a scratch directory, the fixtures directory.
set -e
runner=$1 progdir=$2 out=$3 fixtures=$4
# The Wine prefix of the build tree this runs in (the programs run from the scratch directory).
if [ -z "$WINEPREFIX" ]; then
  d=$PWD
  while [ "$d" != / ] && [ ! -f "$d/CMakeCache.txt" ]; do d=$(dirname "$d"); done
  export WINEPREFIX=$d/wineprefix
fi
rm -rf "$out"
mkdir -p "$out/src" "$out/x1" "$out/x2"
fail=0
say() { echo "$1"; [ "${1#FAIL}" = "$1" ] || fail=1; }

# pkzip: a name in the ANSI code page but not in the DOS one, and one in neither (read through the
# wide API, opened through its short name).
printf 'euro\r\n' > "$out/src/euro€.txt"
printf 'nihon\r\n' > "$out/src/日本.txt"
printf 'plain\r\n' > "$out/src/plain.txt"
(cd "$out/src" && "$runner" "$progdir/pkzip.exe" -a ../names.zip '*.*' >../pkzip.log 2>&1) || say "FAIL pkzip exit $?"
names=$(python3 -c 'import sys, zipfile; print("|".join(sorted(zipfile.ZipFile(sys.argv[1]).namelist())))' "$out/names.zip")
[ "$names" = "euro€.txt|plain.txt|日本.txt" ] && say "ok zipfile reads the stored names" || say "FAIL zipfile reads: $names"
(cd "$out/x1" && unzip -q ../names.zip) && diff -r "$out/src" "$out/x1" >/dev/null &&
  say "ok unzip extracts every name as it is" || say "FAIL unzip: $(ls "$out/x1")"
# pkunzip writes every one of them back under its name, those outside the ANSI code page too.
code=0
(cd "$out" && "$runner" "$progdir/pkunzip.exe" names.zip x2\\ >unzip.log 2>&1) || code=$?
[ "$code" = 0 ] && diff -r "$out/src" "$out/x2" >/dev/null && say "ok pkunzip writes every name as it is" ||
  say "FAIL pkunzip exit $code: $(ls "$out/x2") $(cat "$out/unzip.log")"

# pkunzip: DOS names with characters outside the ANSI code page (CP437 E3 = pi, C9 = a box corner).
python3 - "$out/oem.zip" <<'PY'
import sys, zipfile
with zipfile.ZipFile(sys.argv[1], "w") as z:
    for name, data in (("AB.TXT", b"pi box"), ("A.TXT", b"first"), ("P.TXT", b"second")):
        info = zipfile.ZipInfo(name, (2026, 1, 1, 0, 0, 0))
        info.create_system = 0
        z.writestr(info, data)
raw = open(sys.argv[1], "rb").read()
raw = raw.replace(b"AB.TXT", b"\xe3\xc9.TXT").replace(b"A.TXT", b"\xe3.TXT")
open(sys.argv[1], "wb").write(raw)
PY
mkdir -p "$out/x3"
code=0
(cd "$out" && "$runner" "$progdir/pkunzip.exe" oem.zip x3\\ >oem.log 2>&1) || code=$?
[ "$code" = 0 ] && say "ok pkunzip exit 0" || say "FAIL pkunzip exit $code: $(cat "$out/oem.log")"
left=$(cd "$out/x3" && ls | LC_ALL=C sort | tr '\n' ' ')
[ "$left" = "P.TXT π.TXT π╔.TXT " ] && [ "$(cat "$out/x3/π╔.TXT")" = "pi box" ] &&
  [ "$(cat "$out/x3/π.TXT")" = "first" ] && [ "$(cat "$out/x3/P.TXT")" = "second" ] &&
  say "ok each DOS name under its own characters" || say "FAIL written: $left"

# UTF-8 names in folders, look-alikes side by side, Info-ZIP Unicode path fields with a matching
# and a stale CRC: pkunzip -d writes the tree Info-ZIP's unzip writes, byte for byte.
mkdir -p "$out/x4" "$out/u4"
cp "$fixtures/unicode_names.zip" "$out/un.zip"
(cd "$out/u4" && unzip -q ../un.zip 2>/dev/null) || true
code=0
(cd "$out" && "$runner" "$progdir/pkunzip.exe" -d un.zip x4\\ >un.log 2>&1) || code=$?
[ "$code" = 0 ] && diff -r "$out/u4" "$out/x4" >/dev/null && [ -f "$out/x4/Česká.txt" ] && [ -f "$out/x4/stale.txt" ] &&
  say "ok pkunzip -d writes what unzip writes" ||
  say "FAIL pkunzip exit $code: $(cd "$out/x4" && find . -type f | sort | tr '\n' ' ') $(cat "$out/un.log")"
exit $fail
