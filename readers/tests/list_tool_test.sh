#!/bin/sh
# quillon-list as a user runs it: lines, the words line, masks, names only, messages and exit codes.
#   list_tool_test.sh <quillon-list> <fixtures directory>
set -u
list=$1
fx=$2
fail=0
tab=$(printf '\t')

check() {  # what expected actual
  if [ "$2" != "$3" ]; then
    printf 'FAIL: %s\n--- expected\n%s\n--- got\n%s\n' "$1" "$2" "$3"
    fail=1
  fi
}

out=$("$list" "$fx/plain.zip"); rc=$?
check "plain.zip exit" 0 "$rc"
check "plain.zip lines" "DOCS\\README.TXT${tab}DOCS\\README.TXT${tab}1200${tab}28${tab}98%${tab}04-15-96${tab} 9:05p
EMPTY.TXT${tab}EMPTY.TXT${tab}0${tab}0${tab}00%${tab}01-01-01${tab}12:30a
src\\main.c${tab}src\\main.c${tab}29${tab}29${tab}00%${tab}01-01-01${tab}12:00p
NOISE.BIN${tab}NOISE.BIN${tab}3000${tab}3000${tab}00%${tab}04-15-96${tab}12:07a
= archive size 3469, total length 4229, file count 4, total size 3057, encrypted 0" "$out"

out=$("$list" --names --mask '*.TXT' "$fx/comments.zip")
check "names with a mask" "DOCS\\README.TXT
EMPTY.TXT
= archive size 3628, total length 4229, file count 4, total size 3057, encrypted 0" "$out"

out=$("$list" "$fx/enc_last.zip" | tail -n 1)
check "encrypted word" "= archive size 309, total length 1229, file count 2, total size 69, encrypted 1" "$out"

out=$("$list" --mask '*.BIN' "$fx/comments.zip" | head -n 1)
check "title first" "> Title Comment: 3596 32" "$out"

err=$("$list" "$fx/empty.zip" 2>&1 >/dev/null); rc=$?
check "empty.zip exit" 1 "$rc"
check "empty.zip message" "Caution! $fx/empty.zip may be damaged,or a multiple volume.
You may need to repair it." "$err"

err=$("$list" "$fx/spanned.zip" 2>&1 >/dev/null); rc=$?
check "spanned.zip exit" 1 "$rc"
check "spanned.zip message" "Can't read multiple volume ZIP files!
A macro would have to be made to extract it." "$err"

out=$("$list" "$fx/dirs.arj" | tail -n 3)
check "ARJ markers and words" "> Directory: DOCS
> Volume Label: QLDISK
= archive size 477, total length 1229, file count 2, total size 65, encrypted 0" "$out"

err=$("$list" "$fx/plain.zip.arj" 2>&1 >/dev/null); rc=$?
check "missing ARJ exit" 1 "$rc"
check "missing ARJ message" "Quillon didn't create the requested archive:
 $fx/plain.zip.arj" "$err"

"$list" "$fx/no-such.zip" >/dev/null 2>&1; rc=$?
check "missing ZIP exit" 1 "$rc"
"$list" >/dev/null 2>&1; rc=$?
check "usage exit" 2 "$rc"

[ $fail -eq 0 ] && echo "quillon-list: all checks passed"
exit $fail
