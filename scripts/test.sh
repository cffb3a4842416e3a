#!/usr/bin/env bash
# Runs every test: native (plain and under ASan/UBSan), the fuzz targets'
# short runs, and the Windows tests and the end-to-end test of both targets
# (the 32-bit product and the 64-bit build) under Wine 10. Sets the machine up
# first if needed. Every stage runs even when an earlier one fails; a summary
# of all stages and their failures ends the output, and the exit code is
# non-zero when anything failed.
#   bash scripts/test.sh [PRESET...]   only these stages (e.g. win32 win64)
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
jobs=${KS_JOBS:-$(nproc)}

only=("$@")
declare -a summary=()
failed=0

step() { printf '\n=== %s ===\n' "$*"; }

# stage NAME PRESET: configure, build and test one preset.
stage() {
  local name=$1 preset=$2 t0 rc=0 what= skipped_note=
  if [ ${#only[@]} -gt 0 ] && [[ " ${only[*]} " != *" $preset "* ]]; then return 0; fi
  step "$name"
  t0=$(date +%s)
  if ! cmake --preset "$preset" >/dev/null; then
    what="configure failed"
  elif ! cmake --build --preset "$preset" -j"$jobs"; then
    what="build failed"
  else
    local log="build/$preset/Testing/Temporary/LastTestsFailed.log"
    local out="build/$preset/Testing/ctest-output.log"
    rm -f "$log"
    mkdir -p "build/$preset/Testing"
    ctest --preset "$preset" 2>&1 | tee "$out"
    rc=${PIPESTATUS[0]}
    # Tests that could not run here are listed, with the reason when known.
    local skipped
    skipped=$(sed -n 's/^[[:space:]]*[0-9]* - \(.*\) (Skipped)$/\1/p' "$out" | paste -sd' ')
    if [ -n "$skipped" ]; then
      local why=""
      [ -f "build/$preset/wine/no-32bit" ] && why=" ($(cat "build/$preset/wine/no-32bit"))"
      skipped_note="; skipped: $skipped$why"
    fi
    if [ "$rc" -ne 0 ]; then
      if [ -s "$log" ]; then
        what="failed: $(cut -d: -f2- "$log" | paste -sd' ')"
      else
        what="ctest exited with $rc"
      fi
    fi
  fi
  local took=$(( $(date +%s) - t0 ))
  if [ -n "$what" ]; then
    summary+=("FAIL  $name (${took} s): $what$skipped_note")
    failed=1
  else
    summary+=("ok    $name (${took} s)$skipped_note")
  fi
}

t_start=$(date +%s)
step "set-up"
if bash scripts/setup.sh; then
  summary+=("ok    set-up")
else
  summary+=("FAIL  set-up: scripts/setup.sh failed (later stages may fail for it)")
  failed=1
fi

stage "native" native
stage "native, AddressSanitizer and UBSan" native-asan
[ -f fuzz/CMakeLists.txt ] && stage "fuzz targets (short runs)" fuzz
stage "win32, the product (under Wine 10)" win32
stage "win64 (under Wine 10)" win64

printf '\n=== summary (%s s) ===\n' $(( $(date +%s) - t_start ))
printf '%s\n' "${summary[@]}"
if [ "$failed" -ne 0 ]; then
  echo "Some stages failed."
  exit 1
fi
echo "All tests passed."
