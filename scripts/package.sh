#!/usr/bin/env bash
# Builds what is handed to users: the 32-bit launcher's setup program, and
# beside it an archive of the program with its separate debug information for
# resolving crash addresses. Both names carry the project's version. Prints
# their paths. Usage: scripts/package.sh [OUT_DIR] (default: dist/)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)
out=${1:-$root/dist}

bash scripts/setup.sh
cmake --preset win32 >/dev/null
cmake --build --preset win32 --target installer -j"$(nproc)"

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build/win32/CMakeCache.txt)
setup="build/win32/TarvelLauncher-$version-setup.exe"
[ -f "$setup" ] || { echo "no setup program $setup" >&2; exit 1; }
mkdir -p "$out"
cp "$setup" "$out/"
symbols="$out/TarvelLauncher-$version-win32-debug.tar.xz"
tar -C build/win32/launcher -cJf "$symbols" TarvelLauncher.exe TarvelLauncher.exe.debug
echo "$out/$(basename "$setup")"
echo "$symbols"
