#!/bin/sh
# Builds both trees and runs every test: native (ASan/UBSan, fuzz corpora) and Win32 under Wine.
# Ends with a plain summary; the exit code is 0 only when everything passed.
set -u
cd "$(dirname "$0")/.."
sh scripts/setup.sh || { echo "RESULT: FAIL (set-up)"; exit 1; }
jobs=$(nproc 2>/dev/null || echo 2)
mkdir -p build
summary=""
result=0

run_tree() {  # name
  tree=$1
  if ! sh scripts/build.sh "$tree" >"build/$tree-build.log" 2>&1; then
    tail -n 40 "build/$tree-build.log"
    summary="$summary
$tree: FAIL (build, see build/$tree-build.log)"
    result=1
    return
  fi
  ctest --test-dir "build/$tree" -j"$jobs" --output-on-failure >"build/$tree-test.log" 2>&1
  rc=$?
  line=$(grep -E 'tests passed|No tests were found' "build/$tree-test.log" | tail -n 1)
  # A Win32 entry runs many GoogleTest cases in one Wine process: count them from ctest's full log,
  # and name the failed ones.
  cases=$(tr -d '\r' <"build/$tree/Testing/Temporary/LastTest.log" 2>/dev/null | grep -cE '^\[       OK \]')
  [ "$tree" = win32 ] && line="$line; $cases cases passed"
  if [ $rc -eq 0 ]; then
    summary="$summary
$tree: PASS ($line)"
  else
    grep -E '^\s+[0-9]+ - ' "build/$tree-test.log" | head -n 40
    tr -d '\r' <"build/$tree-test.log" | grep -E '^\[  FAILED  \] [^ ]+\.[^ ]+' | sed 's/ (.*//; s/, where.*//' |
      sort -u | head -n 40
    summary="$summary
$tree: FAIL ($line; details in build/$tree-test.log)"
    result=1
  fi
}

# The i686 files we ship, read natively: on a machine that cannot run 32-bit code this is what
# catches a fault that shows only in them.
check_programs() {
  if sh scripts/check-programs.sh >build/programs-check.log 2>&1; then
    summary="$summary
programs: PASS ($(grep -c '^\[       OK \]' build/programs-check.log) checks of the i686 and x86_64 files)"
  else
    tail -n 40 build/programs-check.log
    summary="$summary
programs: FAIL (details in build/programs-check.log)"
    result=1
  fi
}

run_tree native
run_tree win32
check_programs
echo "$summary"
if [ $result -eq 0 ]; then echo "RESULT: PASS"; else echo "RESULT: FAIL"; fi
exit $result
