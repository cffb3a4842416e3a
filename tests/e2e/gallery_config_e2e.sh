#!/usr/bin/env bash
# End-to-end run of the gallery with its skin configuration under Wine:
#  - the gallery starts from a copy of its folder whose Skin\Config.xml has
#    HSB_H 0 and the title colour 0x00FFC446;
#  - the file is rewritten with HSB_H 120: a screenshot shows the title bar's
#    hue turned by 120 degrees (within 6). The gallery looks at the file every
#    250 ms, so on an idle machine that takes well under a second; the time is
#    printed, and only a gallery that never follows (30 s) fails, as Wine and
#    the screenshots alone may take seconds on a loaded machine.
#  - the file is rewritten with Style 1 and a FormBg in Skin\Custom\ (a flat
#    picture): the client shows that picture.
# Screenshots of the three looks are kept in OUT_DIR as
# gallery-config-{before,hue,picture}.png.
# usage: gallery_config_e2e.sh STATE_DIR EXE OUT_DIR
set -uo pipefail
state=$1 exe=$2 out=$3
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../cmake/wine-common.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }

if [ -f "$state/no-32bit" ] && ks_is_pe32 "$exe"; then
  echo "SKIPPED: $(cat "$state/no-32bit")"
  exit "$KS_SKIP_CODE"
fi

app="$out/gallery-config"
rm -rf "$app"
mkdir -p "$app/Skin/Default" "$app/Skin/Custom"
cp "$exe" "$app/"
cp "$(dirname "$exe")/Skin/Default/skin_bk_leaf.jpg" "$app/Skin/Default/" || fail "no default background beside $exe"
# A flat 32 x 32 picture of colour 0x2060C0 (red 32, green 96, blue 192).
convert -size 32x32 xc:'#2060C0' "BMP3:$app/Skin/Custom/flat.bmp"

write_config() {  # style formbg hue
  cat >"$app/Skin/Config.new" <<XML
<?xml version="1.0" encoding="UTF-8"?>
<KsSkinRes><Config><Custom><Form>
  <Style>$1</Style><FormBg>$2</FormBg><GradientHeight>168</GradientHeight>
  <TitlerColor>16761926</TitlerColor><Color>15920353</Color>
  <HSB_H>$3</HSB_H><HSB_S>0</HSB_S><HSB_B>0</HSB_B>
</Form></Custom></Config></KsSkinRes>
XML
  mv -f "$app/Skin/Config.new" "$app/Skin/Config.xml"
}
write_config 0 "" 0

ks_wine_init "$state" "$out"
DISPLAY=$(cat "$state/display")
export DISPLAY

# The gallery's 640 x 420 window centred on the 1024 x 768 screen.
wx=192 wy=174
# hue SHOT: the median hue (degrees) of the saturated pixels along a title-bar
# row, between the caption text and the buttons.
hue() {
  convert "$1" -crop 300x1+$((wx + 200))+$((wy + 4)) +repage txt:- 2>/dev/null | python3 -c '
import colorsys, re, sys
hues = []
for line in sys.stdin:
    m = re.search(r"\((\d+),(\d+),(\d+)", line)
    if not m:
        continue
    r, g, b = (int(v) / 255 for v in m.groups())
    h, s, v = colorsys.rgb_to_hsv(r, g, b)
    if s > 0.25:
        hues.append(h * 360)
hues.sort()
print(round(hues[len(hues) // 2]) if hues else -1)'
}
# rgb SHOT X Y: the pixel at window coordinates X, Y as RRGGBB.
rgb() {
  convert "$1" -crop 1x1+$((wx + $2))+$((wy + $3)) +repage -depth 8 txt:- 2>/dev/null |
    sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p' | head -1
}
# Angle between two hues, 0..180.
hue_gap() { python3 -c "d = abs($1 - $2) % 360; print(min(d, 360 - d))"; }

cd "$app" || fail "no folder $app"
ks_wine "$app/$(basename "$exe")" >"$out/gallery.log" 2>&1 &
pid=$!
trap 'kill $pid 2>/dev/null; ks_wineserver -k 2>/dev/null' EXIT

# Wait (generously) for the window with its title colour.
before=-1
for _ in $(seq 1 300); do
  kill -0 $pid 2>/dev/null || fail "the gallery ended"
  import -window root "$out/shot.png" 2>/dev/null || true
  # The desktop around the window is coloured too: wait until the client
  # differs from it.
  desktop=$(convert "$out/shot.png" -crop 1x1+2+2 +repage -depth 8 txt:- 2>/dev/null | sed -n 's/.*#\([0-9A-Fa-f]\{6\}\).*/\1/p')
  client=$(rgb "$out/shot.png" 320 360)
  if [ -n "$client" ] && [ "$client" != "$desktop" ]; then
    before=$(hue "$out/shot.png")
    [ "$before" -ge 0 ] 2>/dev/null && break
  fi
  sleep 0.1
done
[ "$before" -ge 0 ] 2>/dev/null || fail "no skinned title bar at +$wx+$wy"
cp "$out/shot.png" "$out/gallery-config-before.png"
echo "title hue before: $before"

# Rewrite with a hue turn of 120 degrees and wait for the title to follow.
written=$(date +%s%N)
write_config 0 "" 120
turned= seen_ms=
deadline=$(( $(date +%s) + 30 ))
while [ "$(date +%s)" -le "$deadline" ]; do
  shot_start=$(date +%s%N)
  import -window root "$out/shot.png" 2>/dev/null || continue
  now=$(hue "$out/shot.png")
  if [ "$now" -ge 0 ] 2>/dev/null && [ "$(hue_gap "$now" $((before + 120)))" -le 6 ]; then
    turned=$now
    seen_ms=$(( (shot_start - written) / 1000000 ))
    break
  fi
  sleep 0.05
done
[ -n "$turned" ] || fail "the title hue stayed at $now after HSB_H 120 (expected $(( (before + 120) % 360 )))"
cp "$out/shot.png" "$out/gallery-config-hue.png"
echo "title hue after HSB_H 120: $turned, seen $seen_ms ms after the file was written"

# A picture background from Skin\Custom\.
write_config 1 flat.bmp 0
pictured=
deadline=$(( $(date +%s) + 30 ))
while [ "$(date +%s)" -le "$deadline" ]; do
  import -window root "$out/shot.png" 2>/dev/null || continue
  a=$(rgb "$out/shot.png" 320 360) b=$(rgb "$out/shot.png" 100 380)
  if [ "${a^^}" = 2060C0 ] && [ "${b^^}" = 2060C0 ]; then pictured=1; break; fi
  sleep 0.05
done
[ -n "$pictured" ] || fail "the client shows $a / $b, expected the picture's 2060C0"
cp "$out/shot.png" "$out/gallery-config-picture.png"
echo "PASS: hue $before -> $turned within $seen_ms ms; Style 1 shows Skin\\Custom\\flat.bmp"
