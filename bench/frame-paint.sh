#!/usr/bin/env bash
# bench/frame-paint.sh [BUILD_DIR] [PAINTS]
# Runs ks_bench_frame of a Windows build (default build/win64) under Wine on
# a 1920 x 1080 virtual desktop of its own: an Xvfb display and a Wine prefix
# kept under BUILD_DIR/wine-bench, apart from the test environment's
# 1024 x 768 one. Prints the paint and resize figures.
set -euo pipefail
build=$(cd "${1:-build/win64}" && pwd)
paints=${2:-50}
state=$build/wine-bench
mkdir -p "$state"
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINE64" ] || WINE64=$(command -v wine64 || command -v wine)
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver)

exec 3> "$state/display.tmp"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset >"$state/xvfb.log" 2>&1 &
xvfb=$!
trap '"$WINESERVER" -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 1 100); do
  [ -s "$state/display.tmp" ] && break
  sleep 0.1
done
exec 3>&-
DISPLAY=":$(tr -d '\n' < "$state/display.tmp")"
export DISPLAY
if [ ! -f "$WINEPREFIX/.ks-ready" ]; then
  rm -rf "$WINEPREFIX"
  "$WINE64" wineboot -i >"$state/wineboot.log" 2>&1 || true
  "$WINESERVER" -w
  touch "$WINEPREFIX/.ks-ready"
fi
"$WINE64" explorer /desktop=KsFrameBench,1920x1080 "$build/bench/ks_bench_frame.exe" "$paints"
"$WINESERVER" -w
