#!/bin/sh
# Configures and builds one or both trees: scripts/build.sh [native|win32|all] [cmake --build args...]
set -e
cd "$(dirname "$0")/.."
what=${1:-all}; [ $# -gt 0 ] && shift
jobs=$(nproc 2>/dev/null || echo 2)
if [ "$what" = native ] || [ "$what" = all ]; then
  [ -f build/native/CMakeCache.txt ] ||
    CC=clang CXX=clang++ cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
  cmake --build build/native -j"$jobs" "$@"
fi
if [ "$what" = win32 ] || [ "$what" = all ]; then
  [ -f build/win32/CMakeCache.txt ] ||
    cmake -S . -B build/win32 --toolchain cmake/mingw-i686.cmake -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DQL_PROGRAM_DIR="$(pwd)/build/quillon" >/dev/null
  cmake --build build/win32 -j"$jobs" "$@"
fi
