#!/usr/bin/env bash
# bench/frame-paint.sh [BUILD_DIR] [PAINTS [CASE [paint|resize]]]
# Runs ks_bench_frame of a Windows build (default build/win64) under the
# build's Wine (cmake/wine-common.sh) on a 1920 x 1080 virtual desktop of its
# own: an Xvfb display and a Wine prefix kept under BUILD_DIR/wine-bench,
# apart from the test environment's 1024 x 768 one. Prints the paint and
# resize figures. KS_BENCH_PROFILER may name a command to run Wine under
# (such as "perf record -o perf.data --").
set -euo pipefail
build=$(cd "${1:-build/win64}" && pwd)
paints=${2:-50}
shift $(( $# > 2 ? 2 : $# ))
state=$build/wine-bench
here=$(cd "$(dirname "${BASH_SOURCE[0]}")/../cmake" && pwd)
source "$here/wine-common.sh"
ks_wine_init "$state" "$build"
ks_wine_prefix

exec 3> "$state/display.tmp"
Xvfb -displayfd 3 -screen 0 1920x1080x24 -nolisten tcp -noreset >"$state/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
trap 'ks_wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true' EXIT
for _ in $(seq 1 600); do
  [ -s "$state/display.tmp" ] && break
  kill -0 $xvfb 2>/dev/null || break
  sleep 0.1
done
DISPLAY=":$(tr -d '\n' < "$state/display.tmp")"
export DISPLAY
echo "Wine $(ks_wine_version)"
# Every window of the prefix goes on the 1920 x 1080 virtual desktop, brought
# up first; the program then runs with this shell's standard output (started
# through explorer, its output would be lost).
if [ ! -f "$WINEPREFIX/.ks-bench-desktop" ]; then
  ks_wine cmd /c "reg add HKCU\\Software\\Wine\\Explorer /v Desktop /d KsFrameBench /f & reg add HKCU\\Software\\Wine\\Explorer\\Desktops /v KsFrameBench /d 1920x1080 /f" \
    >"$state/reg.log" 2>&1
  touch "$WINEPREFIX/.ks-bench-desktop"
fi
"$here/wine-tree.sh" "${ks_binds[@]}" -- /usr/lib/wine/wine64 explorer /desktop=KsFrameBench,1920x1080 \
  >"$state/explorer.log" 2>&1 &
ks_wine cmd /c exit >/dev/null 2>&1 || true
${KS_BENCH_PROFILER:-} "$here/wine-tree.sh" "${ks_binds[@]}" -- /usr/lib/wine/wine64 \
  "$build/bench/ks_bench_frame.exe" "$paints" "$@"
ks_wineserver -k 2>/dev/null || true
