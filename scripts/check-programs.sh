#!/bin/sh
# Checks the files of the i686 program directory we ship, and the x86_64 self-extractor stubs,
# natively (scripts/build.sh native first): what each program is built for, the stubs' limits,
# and that our self-extractors are recognised behind the real stubs. Whichever of the two this
# machine's Win32 tree is not, is built here (the i686 programs, or the x86_64 stubs alone).
set -e
cd "$(dirname "$0")/.."
if [ "$(sh scripts/wine-arch.sh)" = win32 ]; then
  i686=build/quillon
  sh scripts/build.sh x86_64 --target zipsfx arj_sfx
  x86_64=build/quillon-x86_64
else
  sh scripts/build.sh i686
  i686=build/quillon-i686
  x86_64=build/quillon
fi
check=build/native/bin/program_dir_check
"$check" "$i686" i686 --shipped
"$check" "$x86_64" x86_64 --gtest_filter=-*.WithinItsSizeCeiling
