#!/bin/sh
# Configures and builds one or both trees: scripts/build.sh [native|win32|all] [cmake --build args...]
set -e
cd "$(dirname "$0")/.."
what=${1:-all}; [ $# -gt 0 ] && shift
jobs=$(nproc 2>/dev/null || echo 2)
# A compiler cache, where one is installed, makes rebuilds of other checkouts cheap.
launcher=""
command -v ccache >/dev/null 2>&1 &&
  launcher="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
if [ "$what" = native ] || [ "$what" = all ]; then
  [ -f build/native/CMakeCache.txt ] ||
    CC=clang CXX=clang++ cmake -S . -B build/native -DCMAKE_BUILD_TYPE=RelWithDebInfo $launcher >/dev/null
  cmake --build build/native -j"$jobs" "$@"
fi
if [ "$what" = win32 ] || [ "$what" = all ]; then
  # The Win32 tree is built for i686; on a machine that cannot run 32-bit code, for x86_64, so that
  # its tests run under 64-bit Wine.
  toolchain=cmake/mingw-i686.cmake
  [ "$(sh scripts/wine-arch.sh)" = win64 ] && toolchain=cmake/mingw-x86_64.cmake
  [ -f build/win32/CMakeCache.txt ] ||
    cmake -S . -B build/win32 --toolchain $toolchain -DCMAKE_BUILD_TYPE=RelWithDebInfo $launcher \
      -DQL_PROGRAM_DIR="$(pwd)/build/quillon" >/dev/null
  cmake --build build/win32 -j"$jobs" "$@"
fi
