#!/usr/bin/env bash
# wine-env.sh start|stop STATE_DIR
# Starts (or stops) the Windows test environment of one build: an Xvfb display
# and a 64-bit Wine prefix of its own under STATE_DIR. The prefix is created on
# first use and kept; Wine draws every window inside a 1024x768 virtual desktop
# (so frames are drawn as on Windows, without a window manager), and the CJK
# font is linked to "MS Sans Serif" as on a Chinese Windows.
set -euo pipefail
action=$1
state=$2
mkdir -p "$state"
export WINEPREFIX="$state/prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
WINE64=/usr/lib/wine/wine64
WINESERVER=/usr/lib/wine/wineserver64
[ -x "$WINESERVER" ] || WINESERVER=$(command -v wineserver)

stop_display() {
  if [ -f "$state/xvfb.pid" ]; then
    kill "$(cat "$state/xvfb.pid")" 2>/dev/null || true
    rm -f "$state/xvfb.pid" "$state/display"
  fi
}

case $action in
  start)
    "$WINESERVER" -k 2>/dev/null || true
    stop_display
    # -displayfd picks a free display number and reports it once the server is ready.
    exec 3> "$state/display.tmp"
    Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset >"$state/xvfb.log" 2>&1 &
    echo $! > "$state/xvfb.pid"
    for _ in $(seq 1 100); do
      [ -s "$state/display.tmp" ] && break
      sleep 0.1
    done
    exec 3>&-
    num=$(tr -d '\n' < "$state/display.tmp")
    rm -f "$state/display.tmp"
    [ -n "$num" ] || { echo "Xvfb did not start" >&2; cat "$state/xvfb.log" >&2; exit 1; }
    echo ":$num" > "$state/display"
    export DISPLAY=":$num"
    if [ ! -f "$WINEPREFIX/.ks-ready" ]; then
      rm -rf "$WINEPREFIX"
      "$WINE64" wineboot -i >"$state/wineboot.log" 2>&1 || true
      "$WINE64" reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1
      "$WINE64" reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1024x768 /f >/dev/null 2>&1
      "$WINE64" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink' \
        /v 'MS Sans Serif' /t REG_MULTI_SZ /d 'wqy-microhei.ttc,WenQuanYi Micro Hei' /f >/dev/null 2>&1
      "$WINESERVER" -w
      touch "$WINEPREFIX/.ks-ready"
    fi
    # Bring the virtual desktop up once and warm Wine's caches, so that the
    # programs under test start in a fraction of a second, as on Windows.
    if [ "${KS_WINE_DESKTOP:-1}" = 1 ]; then
      nohup "$WINE64" explorer /desktop=Default,1024x768 >"$state/explorer.log" 2>&1 &
    fi
    "$WINE64" cmd /c exit >/dev/null 2>&1 || true
    ;;
  stop)
    "$WINESERVER" -k 2>/dev/null || true
    stop_display
    ;;
  *)
    echo "usage: $0 start|stop STATE_DIR" >&2
    exit 2
    ;;
esac
