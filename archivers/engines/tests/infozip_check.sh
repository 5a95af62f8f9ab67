#!/bin/sh
# Runs the engine archive writer under Wine, then checks every archive with Info-ZIP's unzip:
# `unzip -t` passes and the extracted files equal the sources.
set -e
runner=$1 writer=$2 out=$3
rm -rf "$out"
mkdir -p "$out"
winout="Z:$(echo "$out" | tr / '\\')"
"$runner" "$writer" "$winout"
fail=0
check() {  # name, unzip flags
  z="$out/$1.zip"
  if ! unzip -tq $2 "$z" >/dev/null; then echo "FAIL unzip -t $1"; fail=1; return; fi
  rm -rf "$out/x_$1"
  unzip -q $2 "$z" -d "$out/x_$1"
  if ! diff -r "$out/src" "$out/x_$1" >/dev/null; then echo "FAIL contents $1"; fail=1; return; fi
  echo "ok $1"
}
for v in max normal fast stored; do check $v ""; done
check scrambled "-P s3cret"
check scrambled_stored "-P p4ss"
check changed ""
exit $fail
