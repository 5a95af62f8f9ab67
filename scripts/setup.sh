#!/bin/sh
# Installs everything Quillon needs to build, run and test, from Debian's packages.
# Idempotent: does nothing when all packages are already present.
set -e
PKGS="cmake make ccache g++ clang libclang-rt-14-dev zlib1g-dev googletest
g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix libz-mingw-w64-dev
wine wine64 wine32:i386 fonts-wine
xvfb xauth imagemagick x11-apps x11-utils
zip unzip arj lhasa arc libarchive-tools p7zip-full hyperfine python3
libbz2-dev liblzma-dev nettle-dev
ghostscript"

missing=""
for p in $PKGS; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing="$missing $p"
done
[ -z "$missing" ] && exit 0

SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO="sudo"
echo "setup: installing$missing" >&2
if ! dpkg --print-foreign-architectures | grep -qx i386; then
  $SUDO dpkg --add-architecture i386
fi
$SUDO apt-get update -q
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -q --no-install-recommends $missing
