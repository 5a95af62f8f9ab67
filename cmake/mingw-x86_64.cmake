# Toolchain: Debian's MinGW-w64 for x86_64, for the Win32 tree on machines that cannot run 32-bit
# code (its tests then run under 64-bit Wine).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(TOOLCHAIN_PREFIX x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw.cmake)
