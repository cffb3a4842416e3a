#!/usr/bin/env bash
# End-to-end run of the gallery's border and menus under Wine, on the test
# run's own 1024 x 768 virtual desktop:
#  - the form (640 x 420, centred) shows the layered border's shadow just
#    outside all four sides (without a compositor Wine shows the
#    half-transparent shadow as a solid band: the pixels 3 px outside each
#    side differ from the desktop, those 20 px outside do not);
#  - the form with its border matches the golden image of the Wine version in
#    use, tests/e2e/golden/wine-<major>/gallery-window.png (both targets share
#    it): at most 1% of its pixels may differ by more than 8% in any channel.
#    KS_UPDATE_GOLDEN=1 replaces the golden image instead.
#  - GalleryProbe (beside the gallery, driving the real mouse and keyboard):
#    a click on the first title-bar item opens its skinned (layered) drop-down
#    below the item; moving over each next item and back to the first
#    switches to that item's drop-down; Escape closes it; a right-click on a
#    label and one on the bare client open the skinned popup at the cursor.
#    The switch times are taken by the probe with the Windows performance
#    counter, from the moment Wine has the new cursor position to the next
#    drop-down drawn on screen (the program's own share is its items' 10 ms
#    poll and the 20 ms switch timer; the rest is scheduling). They are
#    printed with how many stayed within 100 ms (70-120 ms were seen at a
#    load of about 6 on two cores, 200-600 ms with a build beside it), so
#    only a switch slower than 2 s fails.
# Screenshots are kept in OUT_DIR: gallery.png, gallery-dropdown.png,
# gallery-popup.png (680 x 460 around the form) and gallery-window.png.
# usage: gallery_menu_e2e.sh STATE_DIR EXE PROBE_EXE OUT_DIR
set -uo pipefail
state=$1 exe=$2 probe_exe=$3 out=$4
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../cmake/wine-common.sh"
wine_version=$(ks_wine_version)
golden="$here/golden/wine-${wine_version%%.*}/gallery-window.png"
fuzz=8%            # per-channel tolerance
max_fraction=0.01  # of the compared pixels
switch_limit_ms=2000
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ -f "$state/no-32bit" ] && ks_is_pe32 "$exe"; then
  echo "SKIPPED: $(cat "$state/no-32bit")"
  exit "$KS_SKIP_CODE"
fi

# The gallery and the probe in a folder of their own, with the default skin
# configuration beside them.
app="$out/app"
rm -rf "$out"
mkdir -p "$app/Skin/Default"
cp "$exe" "$probe_exe" "$app/"
cp "$(dirname "$exe")/Skin/Config.xml" "$app/Skin/" || fail "no Skin\\Config.xml beside $exe"
cp "$(dirname "$exe")/Skin/Default/skin_bk_leaf.jpg" "$app/Skin/Default/" || fail "no default background beside $exe"

ks_wine_init "$state" "$out"
DISPLAY=$(cat "$state/display")
export DISPLAY

cd "$app" || fail "no folder $app"
ks_wine "$app/$(basename "$exe")" >"$out/gallery.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; ks_wineserver -k 2>/dev/null' EXIT

# probe ARGS...: runs the probe; its facts are kept in probe.log.
probe() {
  echo "> probe $*" >>"$out/probe.log"
  ks_wine "$app/$(basename "$probe_exe")" "$@" 2>>"$out/probe.err" | tr -d '\r' >"$out/probe.out"
  local rc=${PIPESTATUS[0]}
  cat "$out/probe.out" >>"$out/probe.log"
  grep -v '^FAIL' "$out/probe.out"
  [ "$rc" -eq 0 ] || fail "probe $*: $(grep '^FAIL' "$out/probe.out" | sed 's/^FAIL: //')"
}
fact() { sed -n "s/^$1: //p" "$out/probe.out"; }
# shot NAME: the screen, and 680 x 460 around the form.
shot() {
  import -window root "$out/screen.png" 2>/dev/null || fail "no screenshot"
  convert "$out/screen.png" -crop 680x460+$((wx - 20))+$((wy - 20)) +repage "$out/$1"
}
# rgb X Y: the screen pixel as RRGGBB.
rgb() {
  convert "$out/screen.png" -crop 1x1+$1+$2 +repage -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -1
}

probe window
read -r wx wy ww wh < <(fact window | tr ',x' '  ')
[ "$ww" = 640 ] && [ "$wh" = 420 ] || fail "the form is ${ww}x$wh, expected 640x420"

# Wait (generously) until the form is painted and stays the same between
# two screenshots: frame, menu bar, labels and border all drawn.
stable=
previous=
for _ in $(seq 1 300); do
  kill -0 $pid 2>/dev/null || fail "the gallery ended"
  shot current.png
  desktop=$(rgb 2 2)
  client=$(rgb $((wx + 320)) $((wy + 400)))
  if [ -n "$client" ] && [ "$client" != "$desktop" ] && [ -n "$previous" ] &&
     [ "$(compare -metric AE "$out/current.png" "$previous" null: 2>&1 | cut -d' ' -f1)" = 0 ]; then
    stable=1
    break
  fi
  cp "$out/current.png" "$out/previous.png"
  previous="$out/previous.png"
  sleep 0.2
done
[ -n "$stable" ] || fail "the form never settled into one picture"
mv "$out/current.png" "$out/gallery.png"

# The border: a band just outside each side, the desktop further out.
half_w=$((wx + ww / 2)) half_h=$((wy + wh / 2))
for side in "left $((wx - 3)) $half_h $((wx - 20)) $half_h" \
            "right $((wx + ww + 2)) $half_h $((wx + ww + 19)) $half_h" \
            "top $half_w $((wy - 3)) $half_w $((wy - 20))" \
            "bottom $half_w $((wy + wh + 2)) $half_w $((wy + wh + 19))"; do
  read -r name nx ny fx fy <<<"$side"
  near=$(rgb "$nx" "$ny") far=$(rgb "$fx" "$fy")
  [ "$near" != "$desktop" ] || fail "no shadow outside the $name side ($near at $nx,$ny is the desktop's colour)"
  [ "$far" = "$desktop" ] || fail "outside the $name side, $far at $fx,$fy is not the desktop's $desktop"
done
echo "border: shadow outside all four sides (desktop $desktop)"

# The form and its border against the golden image.
convert "$out/screen.png" -crop $((ww + 16))x$((wh + 16))+$((wx - 8))+$((wy - 8)) +repage "$out/gallery-window.png"
max_differing=$(( (ww + 16) * (wh + 16) / 100 ))
if [ "${KS_UPDATE_GOLDEN:-0}" = 1 ]; then
  mkdir -p "$(dirname "$golden")"
  cp "$out/gallery-window.png" "$golden"
  echo "golden image updated: $golden"
  differing=0
else
  [ -f "$golden" ] || fail "no golden image $golden (run with KS_UPDATE_GOLDEN=1 once the form looks right)"
  differing=$(compare -metric AE -fuzz "$fuzz" "$out/gallery-window.png" "$golden" null: 2>&1 | cut -d' ' -f1)
  differing=${differing%.*}
  [ "${differing:-999999}" -le "$max_differing" ] ||
    fail "the form differs from the golden image in $differing pixels (at most $max_differing allowed; see $out/gallery-window.png)"
fi

# The title-bar menu bar.
probe menubar '&File' '&Edit' '&View' '&Help'
shot gallery-dropdown.png
switches=$(fact 'switch ms')
worst=$(fact 'switch worst ms')
fast=0 total=0
for ms in $switches; do
  total=$((total + 1))
  [ "${ms%.*}" -lt 100 ] && fast=$((fast + 1))
done
echo "drop-down switches (ms, cursor move to the next drop-down on screen): $switches; $fast of $total within 100 ms"
[ "${worst%.*}" -le "$switch_limit_ms" ] || fail "a drop-down switch took $worst ms (bound $switch_limit_ms ms)"
probe escape

# The client's popup menu, on a label and on the bare client.
probe rclick label
probe escape
probe rclick client
shot gallery-popup.png
probe escape
kill -0 $pid 2>/dev/null || fail "the gallery ended"

echo "PASS (Wine $wine_version): border shadow on four sides; form within $differing of $max_differing differing pixels" \
     "(fuzz $fuzz) of the golden image; drop-down switches $switches ms; Escape closes; right-click popups at the cursor"
