#!/bin/sh
# Prints the Wine architecture the Win32 tree is built and tested for on this machine: "win32"
# (i686 programs in a 32-bit prefix) where the machine runs 32-bit code, else "win64" (the same
# sources built for x86_64, in a 64-bit prefix). QL_WINE_ARCH overrides the probe.
if [ -n "${QL_WINE_ARCH:-}" ]; then echo "$QL_WINE_ARCH"; exit 0; fi
if [ -x /usr/lib/wine/wine ] && /usr/lib/wine/wine --version >/dev/null 2>&1; then echo win32; else echo win64; fi
