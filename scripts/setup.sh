#!/usr/bin/env bash
# Installs from Debian's archive whatever the build and the tests need and this machine
# lacks. Runs as root directly, otherwise through sudo. Does nothing when all is there.
set -euo pipefail

packages=(cmake ninja-build g++ make libgtest-dev libbenchmark-dev
          clang libclang-rt-14-dev clang-tidy cppcheck
          dpkg-dev lintian man-db wixl msitools wine32:i386
          g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix wine64 xvfb
          qt6-base-dev xauth x11-utils
          librsvg2-bin python3)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
if [ "$(id -u)" -eq 0 ]; then
    as_root=()
elif command -v sudo >/dev/null; then
    as_root=(sudo)
else
    echo "setup: need root or sudo to install: ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
# wine32, which runs the 32-bit Windows build, comes from Debian's i386 architecture.
if [[ " ${missing[*]} " == *" wine32:i386 "* ]] && ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${as_root[@]}" dpkg --add-architecture i386
fi
"${as_root[@]}" apt-get update -q
"${as_root[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
