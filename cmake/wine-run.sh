#!/usr/bin/env bash
# wine-run.sh STATE_DIR PROGRAM [ARGS...]
# Runs a Windows program of the build under wine64 in the build's test
# environment (display and prefix started by wine-env.sh). Run outside ctest,
# it brings the environment up itself and takes it down afterwards.
set -uo pipefail
state=$1
shift
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
own_env=0
if [ ! -f "$state/display" ] || ! kill -0 "$(cat "$state/xvfb.pid" 2>/dev/null)" 2>/dev/null; then
  "$here/wine-env.sh" start "$state" || exit 1
  own_env=1
fi
export WINEPREFIX="$state/prefix"
export WINEDEBUG=${WINEDEBUG:--all}
export WINEDLLOVERRIDES="mscoree,mshtml="
DISPLAY=$(cat "$state/display")
export DISPLAY
/usr/lib/wine/wine64 "$@"
rc=$?
if [ "$own_env" -eq 1 ]; then
  "$here/wine-env.sh" stop "$state"
fi
exit $rc
