#!/usr/bin/env bash
# Runs every test: native (plain and under ASan/UBSan), Windows under Wine
# (x86_64), and builds the 32-bit product. Sets the machine up first if needed.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
jobs=${KS_JOBS:-$(nproc)}

bash scripts/setup.sh

step() { printf '\n=== %s ===\n' "$*"; }

step "native"
cmake --preset native >/dev/null
cmake --build --preset native -j"$jobs"
ctest --preset native

step "native, AddressSanitizer and UBSan"
cmake --preset native-asan >/dev/null
cmake --build --preset native-asan -j"$jobs"
ctest --preset native-asan

if [ -f fuzz/CMakeLists.txt ]; then
  step "fuzz targets (short runs)"
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz -j"$jobs"
  ctest --test-dir build/fuzz -L fuzz --output-on-failure
fi

step "win64 (under Wine)"
cmake --preset win64 >/dev/null
cmake --build --preset win64 -j"$jobs"
ctest --preset win64

step "win32 (build and PE checks only: 32-bit programs cannot run on this host)"
cmake --preset win32 >/dev/null
cmake --build --preset win32 -j"$jobs"
ctest --test-dir build/win32 --output-on-failure

echo
echo "All tests passed."
