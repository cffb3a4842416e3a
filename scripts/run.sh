#!/usr/bin/env bash
# run.sh [PROGRAM] [--win64]
# Builds a program (default: the launcher) as the 32-bit product users get
# (--win64: the 64-bit build) and runs it under Wine 10: on the user's display
# when DISPLAY is set, otherwise on a virtual screen, saving a screenshot while
# its window is up and printing the screenshot's path. Web addresses the
# program opens are handed to the host's browser (xdg-open; BROWSER chooses
# another). On a machine whose kernel cannot run 32-bit code it says so and
# runs the 64-bit build.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root=$(pwd)

preset=win32
program=launcher
for arg in "$@"; do
  case $arg in
    --win64) preset=win64 ;;
    -h|--help) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "unknown option $arg" >&2; exit 2 ;;
    *) program=$arg ;;
  esac
done

bash scripts/setup.sh
source cmake/wine-common.sh
if [ "$preset" = win32 ] && ks_kernel_refuses_32bit; then
  echo "note: this machine's kernel refuses 32-bit system calls, so Wine cannot run 32-bit programs here;" >&2
  echo "      running the 64-bit build instead" >&2
  preset=win64
fi
cmake --preset "$preset" >/dev/null
cmake --build --preset "$preset" --target "$program" -j"$(nproc)"
build="$root/build/$preset"
case $program in
  launcher) exe="$build/launcher/TarvelLauncher.exe" ;;
  gallery) exe="$build/gallery/TarvelSkinGallery.exe" ;;
  *)
    # Other programs: the one .exe in the folder named after the target.
    mapfile -t found < <(find "$build/$program" -maxdepth 1 -name '*.exe' 2>/dev/null)
    [ "${#found[@]}" -eq 1 ] || { echo "cannot tell which program '$program' built" >&2; exit 2; }
    exe=${found[0]}
    ;;
esac

user_browser=${BROWSER-}
# The program runs inside the Wine tree, where no browser is installed: the
# addresses it opens are written to a file and opened from here.
handoff_script() {
  cat > "$1/open-address.sh" <<REC
#!/bin/sh
printf '%s\n' "\$1" >> "$1/addresses"
REC
  chmod +x "$1/open-address.sh"
  rm -f "$1/addresses"
}
open_addresses() {
  [ -s "$1/addresses" ] || return 0
  local address
  while IFS= read -r address; do
    echo "opening $address"
    (
      if [ -n "$user_browser" ]; then export BROWSER=$user_browser; else unset BROWSER; fi
      xdg-open "$address" >/dev/null 2>&1
    ) || echo "could not start a browser for $address" >&2
  done < "$1/addresses"
}

if [ -n "${DISPLAY:-}" ]; then
  # A prefix of the run's own; windows go straight onto the user's desktop.
  state="$build/wine-user"
  ks_wine_init "$state" "$(dirname "$exe")"
  ks_wine_prefix
  # The X server's key, readable inside the tree.
  if command -v xauth >/dev/null; then
    xauth nlist "$DISPLAY" 2>/dev/null | xauth -f "$state/xauthority" nmerge - 2>/dev/null || true
    [ -s "$state/xauthority" ] && export XAUTHORITY="$state/xauthority"
  fi
  handoff_script "$state"
  export BROWSER="$state/open-address.sh"
  rc=0
  ks_wine "$exe" || rc=$?
  ks_wineserver -w || true
  open_addresses "$state"
  exit "$rc"
fi

state="$build/wine-run"
cmake/wine-env.sh start "$state"
trap 'cmake/wine-env.sh stop "$state"' EXIT
ks_wine_init "$state" "$(dirname "$exe")"
DISPLAY=$(cat "$state/display")
export DISPLAY
handoff_script "$state"
export BROWSER="$state/open-address.sh"
shot="$build/$program-screenshot.png"
rm -f "$shot"
ks_wine "$exe" &
pid=$!
# The launcher's window is up from about 0.2 s until the process ends at
# about 1 s: the screenshot is taken once something is on the screen and the
# picture has stopped changing (or when the program ends).
prev= same=0
for _ in $(seq 1 200); do
  kill -0 "$pid" 2>/dev/null || break
  import -window root "$shot.tmp.png" 2>/dev/null || continue
  geometry=$(convert "$shot.tmp.png" -trim -format '%wx%h%X%Y' info: 2>/dev/null || true)
  case $geometry in 1x1*|'') ;; *)
    sum=$(md5sum < "$shot.tmp.png")
    mv "$shot.tmp.png" "$shot"
    if [ "$sum" = "$prev" ]; then same=$((same + 1)); else same=0; fi
    prev=$sum
    [ "$same" -ge 2 ] && break ;;
  esac
  sleep 0.05
done
rm -f "$shot.tmp.png"
# The gallery stays up until it is closed: on the virtual screen it is ended
# once the screenshot is taken.
if [ "$program" = gallery ] && kill -0 "$pid" 2>/dev/null; then
  ks_wineserver -k 2>/dev/null || kill "$pid" 2>/dev/null || true
fi
wait "$pid" && rc=0 || rc=$?
echo "$program exited with code $rc"
[ -f "$shot" ] && echo "screenshot: $shot" || echo "no window was seen"
open_addresses "$state"
