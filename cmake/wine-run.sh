#!/usr/bin/env bash
# wine-run.sh STATE_DIR PROGRAM [ARGS...]
# Runs a Windows program of the build (32-bit or 64-bit) under Wine 10 in the
# build's test environment (display and prefix started by wine-env.sh). Run
# outside ctest, it brings the environment up itself and takes it down
# afterwards. A 32-bit program on a machine that cannot run 32-bit code is
# reported as skipped (exit code 77).
set -uo pipefail
state=$1
shift
source "$(dirname "${BASH_SOURCE[0]}")/wine-common.sh"
own_env=0
if [ ! -f "$state/display" ] || ! kill -0 "$(cat "$state/xvfb.pid" 2>/dev/null)" 2>/dev/null; then
  "$ks_here/wine-env.sh" start "$state" || exit 1
  own_env=1
fi
if [ -f "$state/no-32bit" ] && ks_is_pe32 "$1"; then
  echo "SKIPPED: $(cat "$state/no-32bit")"
  exit "$KS_SKIP_CODE"
fi
ks_wine_init "$state" "$(cd "$(dirname "$1")" && pwd)"
DISPLAY=$(cat "$state/display")
export DISPLAY
ks_wine "$@"
rc=$?
if [ "$own_env" -eq 1 ]; then
  "$ks_here/wine-env.sh" stop "$state"
fi
exit $rc
