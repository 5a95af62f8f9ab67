#!/bin/sh
# Sizes of the release program directory against its goals:
#   - every file in the directory together: at most 3 MB (3,000,000 bytes);
#   - the ARJ self-extractor module ARJSFX.EXE, copied into every self-extracting archive: at most
#     64 KB (65,536 bytes).
# Prints each file's size, the total, and one PASS or OVER line per goal; exits 1 when a goal is
# missed. Run on demand; not part of the test suite.
# usage: sh bench/size/run.sh          builds the i686 programs (scripts/build.sh win32 --target
#                                      programs, or scripts/build.sh i686 where the Win32 tree is
#                                      x86_64) and measures them
#        sh bench/size/run.sh <dir>    measures <dir> as it is
set -e
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
TOTAL_GOAL=3000000
SFX_GOAL=65536
SFX_NAME=ARJSFX.EXE

if [ $# -gt 0 ]; then
  DIR=$1
else
  log=$ROOT/build/size-build.log
  mkdir -p "$ROOT/build"
  if [ "$(sh "$ROOT/scripts/wine-arch.sh")" = win32 ]; then
    DIR=$ROOT/build/quillon
    sh "$ROOT/scripts/build.sh" win32 --target programs >"$log" 2>&1 || build_failed=1
  else
    # The Win32 tree is built for x86_64 here: the goals are measured on an i686 release of its own.
    DIR=$ROOT/build/quillon-i686
    sh "$ROOT/scripts/build.sh" i686 >"$log" 2>&1 || build_failed=1
  fi
  if [ -n "${build_failed:-}" ]; then
    tail -n 40 "$log"
    echo "the build failed (see $log)" >&2
    exit 2
  fi
fi
[ -d "$DIR" ] || { echo "no program directory: $DIR" >&2; exit 2; }

echo "Program directory: $DIR"
# The goals are for the i686 release; a tree built for x86_64 (machines without 32-bit support)
# is measured all the same, and says so.
pe_machine() {  # the Machine field of a PE file's COFF header
  off=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
  case $(od -An -tx2 -j$((off + 4)) -N2 "$1" | tr -d ' ') in
    014c) echo i686 ;;
    8664) echo x86_64 ;;
    *) echo unknown ;;
  esac
}
[ -f "$DIR/$SFX_NAME" ] && echo "Built for: $(pe_machine "$DIR/$SFX_NAME")"
# name<TAB>bytes for every file, in name order; the summary reads the same list.
list=$(cd "$DIR" && find . -type f | sed 's|^\./||' | LC_ALL=C sort | while IFS= read -r f; do
  printf '%s\t%s\n' "$f" "$(wc -c <"$f" | tr -d ' ')"
done)
[ -n "$list" ] || { echo "the program directory is empty" >&2; exit 2; }

printf '%s\n' "$list" | awk -F '\t' -v total_goal="$TOTAL_GOAL" -v sfx_goal="$SFX_GOAL" \
                                    -v sfx="$SFX_NAME" '
  function group(n,   s) {  # 1234567 -> 1,234,567
    s = sprintf("%d", n)
    while (s ~ /[0-9][0-9][0-9][0-9]/) sub(/[0-9][0-9][0-9]($|,)/, ",&", s)
    return s
  }
  function mb(n) { return sprintf("%.2f MB", n / 1000000) }
  { size[NR] = $2; name[NR] = $1; total += $2; if ($1 == sfx) sfx_size = $2 }
  END {
    for (i = 1; i <= NR; i++) printf "  %-24s %12s\n", name[i], group(size[i])
    printf "  %-24s %12s  (%s, %d files)\n", "total", group(total), mb(total), NR
    printf "RESULT size-total ours=%d peer=%d unit=B\n", total, total_goal
    if (sfx_size != "") printf "RESULT size-arjsfx ours=%d peer=%d unit=B\n", sfx_size, sfx_goal
    over = 0
    if (total <= total_goal) {
      printf "PASS  directory total %s bytes <= %s\n", group(total), group(total_goal)
    } else {
      printf "OVER  directory total %s bytes > %s (by %s)\n", group(total), group(total_goal),
             group(total - total_goal)
      over = 1
    }
    if (sfx_size == "") {
      printf "OVER  %s is missing from the directory\n", sfx
      over = 1
    } else if (sfx_size <= sfx_goal) {
      printf "PASS  %s %s bytes <= %s\n", sfx, group(sfx_size), group(sfx_goal)
    } else {
      printf "OVER  %s %s bytes > %s (by %s)\n", sfx, group(sfx_size), group(sfx_goal),
             group(sfx_size - sfx_goal)
      over = 1
    }
    exit over
  }'
