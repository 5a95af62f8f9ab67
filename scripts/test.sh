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
  if [ $rc -eq 0 ]; then
    summary="$summary
$tree: PASS ($line)"
  else
    grep -E '^\s+[0-9]+ - ' "build/$tree-test.log" | head -n 40
    summary="$summary
$tree: FAIL ($line; details in build/$tree-test.log)"
    result=1
  fi
}

run_tree native
run_tree win32
echo "$summary"
if [ $result -eq 0 ]; then echo "RESULT: PASS"; else echo "RESULT: FAIL"; fi
exit $result
