#!/bin/sh
# Both directions between the engines and Info-ZIP: archives the zip engine writes (under Wine) pass
# `unzip -t` and extract to the sources; archives Info-ZIP's zip writes are tested and extracted by
# the unzip engine to identical files.
set -e
runner=$1 writer=$2 out=$3
rm -rf "$out"
mkdir -p "$out/izsrc/docs/deep"
# Info-ZIP's archives for the unzip engine: stored, deflated, encrypted, streamed, commented.
printf 'plain text\r\n%.0s' $(seq 1 500) > "$out/izsrc/readme.txt"
head -c 70000 /dev/urandom > "$out/izsrc/docs/deep/noise.bin"
seq 1 40000 > "$out/izsrc/docs/numbers.txt"
: > "$out/izsrc/empty.txt"
(
  cd "$out/izsrc"
  zip -q -r -0 ../iz_stored.zip .
  zip -q -r -9 ../iz_deflated.zip .
  zip -q -r -P s3cret ../iz_encrypted.zip .
  zip -q -r - . > ../iz_streamed.zip
  zip -q -r -P pw - . > ../iz_streamed_encrypted.zip
  zip -q -r ../iz_commented.zip . && printf 'title\n' | zip -q -z ../iz_commented.zip &&
    printf 'about readme\n' | zip -q -c ../iz_commented.zip readme.txt
)
winout="Z:$(echo "$out" | tr / '\\')"
fail=0
"$runner" "$writer" "$winout" || { echo "FAIL: the engine calls reported errors"; fail=1; }
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
for z in iz_stored iz_deflated iz_encrypted iz_streamed iz_streamed_encrypted iz_commented; do
  if diff -r "$out/izsrc" "$out/x_$z" >/dev/null; then echo "ok $z"; else echo "FAIL contents $z"; fail=1; fi
done
exit $fail
