#!/bin/sh
# Configures and builds one or both trees: scripts/build.sh [native|win32|all] [cmake --build args...]
#   scripts/build.sh i686|x86_64 [cmake --build args...]
#       the programs alone (no tests), for that architecture, into build/quillon-ARCH: the files of
#       a build the Win32 tree of this machine does not make, to be checked natively.
set -e
cd "$(dirname "$0")/.."
what=${1:-all}; [ $# -gt 0 ] && shift
jobs=$(nproc 2>/dev/null || echo 2)
# A compiler cache (scripts/setup.sh installs one) makes rebuilds cheap. Paths inside the checkout
# are hashed relative to it, so another clone of the same sources (CI's) reuses these objects.
launcher=""
if command -v ccache >/dev/null 2>&1; then
  launcher="-DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache"
  CCACHE_BASEDIR=$(pwd) CCACHE_NOHASHDIR=true
  export CCACHE_BASEDIR CCACHE_NOHASHDIR
fi
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
if [ "$what" = i686 ] || [ "$what" = x86_64 ]; then
  [ -f "build/programs-$what/CMakeCache.txt" ] ||
    cmake -S . -B "build/programs-$what" --toolchain "cmake/mingw-$what.cmake" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_GTEST_DISCOVER_TESTS_DISCOVERY_MODE=PRE_TEST $launcher \
      -DQL_PROGRAM_DIR="$(pwd)/build/quillon-$what" >/dev/null
  [ $# -gt 0 ] || set -- --target programs
  cmake --build "build/programs-$what" -j"$jobs" "$@"
fi
