#!/bin/sh
# Names under Wine: pkzip stores a name the DOS code page cannot hold as UTF-8 (bit 11), which
# Info-ZIP's unzip and python's zipfile read back exactly; pkunzip never lets a look-alike stand in
# for a name the ANSI code page cannot hold (two members could then meet under one name).
# Arguments: the Wine runner, the program directory, a scratch directory.
set -e
runner=$1 progdir=$2 out=$3
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
# pkunzip writes what the ANSI code page holds and refuses, with the reason, what it does not.
code=0
(cd "$out" && "$runner" "$progdir/pkunzip.exe" names.zip x2\\ >unzip.log 2>&1) || code=$?
[ "$code" = 1 ] && grep -q "code page cannot hold" "$out/unzip.log" && say "ok pkunzip refuses 日本.txt" ||
  say "FAIL pkunzip exit $code: $(cat "$out/unzip.log")"
[ "$(cat "$out/x2/euro€.txt" 2>/dev/null)" = "$(cat "$out/src/euro€.txt")" ] && [ "$(ls "$out/x2" | wc -l)" = 2 ] &&
  say "ok pkunzip reads euro€.txt back" || say "FAIL pkunzip: $(ls "$out/x2") $(cat "$out/unzip.log")"

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
[ "$code" -ne 0 ] && say "ok pkunzip exit $code" || say "FAIL pkunzip exit 0 for names it cannot write"
grep -q "code page cannot hold" "$out/oem.log" && say "ok the reason is given" || say "FAIL no reason: $(cat "$out/oem.log")"
left=$(cd "$out/x3" && ls | tr '\n' ' ')
[ "$left" = "P.TXT " ] && [ "$(cat "$out/x3/P.TXT")" = "second" ] && say "ok only P.TXT, as it is" ||
  say "FAIL written: $left"
exit $fail
