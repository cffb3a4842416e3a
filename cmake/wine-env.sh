#!/usr/bin/env bash
# wine-env.sh start|stop STATE_DIR
# Starts (or stops) the Windows test environment of one build: an Xvfb display
# and a Wine 10 prefix of its own under STATE_DIR (a copy of the set-up
# cache's prefix, made on first use and kept while the Wine version stays).
# Wine draws every window inside a 1024x768 virtual desktop (so frames are
# drawn as on Windows, without a window manager); the CJK font is linked to the
# faces Windows programs ask for, as on a Chinese Windows. The same prefix runs
# 32-bit and 64-bit programs. When the machine's kernel cannot run 32-bit code,
# STATE_DIR/no-32bit says so and 32-bit programs are reported as skipped.
set -euo pipefail
action=$1
state=$2
source "$(dirname "${BASH_SOURCE[0]}")/wine-common.sh"
ks_wine_init "$state"

stop_display() {
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid" "$state/display"
  fi
}

stop_wine() {
  [ -d "$WINEPREFIX" ] && ks_wineserver -k 2>/dev/null || true
}

case $action in
  start)
    stop_wine
    stop_display
    ks_wine_prefix
    # -displayfd picks a free display number and reports it once the server
    # is ready.
    exec 3> "$state/display.tmp"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$state/xvfb.log" 2>&1 &
    echo $! > "$state/xvfb.pid"
    exec 3>&-
    for _ in $(seq 1 600); do
      [ -s "$state/display.tmp" ] && break
      kill -0 "$(cat "$state/xvfb.pid")" 2>/dev/null || break
      sleep 0.1
    done
    num=$(tr -d '\n' < "$state/display.tmp")
    rm -f "$state/display.tmp"
    [ -n "$num" ] || { echo "Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; exit 1; }
    echo ":$num" > "$state/display"
    export DISPLAY=":$num"
    if [ ! -f "$WINEPREFIX/.ks-desktop" ]; then
      ks_wine cmd /c "reg add HKCU\\Software\\Wine\\Explorer /v Desktop /d Default /f & reg add HKCU\\Software\\Wine\\Explorer\\Desktops /v Default /d 1024x768 /f" >"$state/reg.log" 2>&1
      touch "$WINEPREFIX/.ks-desktop"
    fi
    # Bring the virtual desktop up once and warm Wine's caches, so that the
    # programs under test start in a fraction of a second, as on Windows.
    nohup "$ks_here/wine-tree.sh" "${ks_binds[@]}" -- /usr/lib/wine/wine64 explorer /desktop=Default,1024x768 \
      >"$state/explorer.log" 2>&1 &
    ks_wine cmd /c exit >/dev/null 2>&1 || true
    rm -f "$state/no-32bit"
    if ks_kernel_refuses_32bit; then
      echo "32-bit Windows programs cannot run on this machine: its kernel refuses 32-bit system calls (int 0x80), which Wine needs for them" >"$state/no-32bit"
    fi
    ;;
  stop)
    stop_wine
    stop_display
    ;;
  *)
    echo "usage: $0 start|stop STATE_DIR" >&2
    exit 2
    ;;
esac
