#!/usr/bin/env bash
# End-to-end run of the real launcher under Wine with a damaged skin file: a
# file "KsSkinBtn_close" that is not an image, in the launcher's current
# folder, where it is looked up before the built-in image of that name.
# The skin is decoration, so the launcher must still do its job:
#  - it shows its 330 x 100 window centred on the screen;
#  - the address reaches the browser exactly once;
#  - it ends by itself with exit code 0 (not before the second tick);
#  - the failure is reported the framework's way, as a line naming the file
#    (on stderr, or on the debugger output, which Wine writes to stderr with
#    its debugstr channel on).
# usage: launcher_e2e_bad_skin_file.sh STATE_DIR EXE ADDRESS OUT_DIR
set -uo pipefail
address=$3
mkdir -p "$4"
# Absolute: the launcher runs from a folder of its own.
state=$(realpath "$1") exe=$(realpath "$2") out=$(realpath "$4")
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
source "$here/../../cmake/wine-common.sh"
rm -rf "$out"/shot-*.png "$out/browser.log" "$out/stderr.log" "$out/cwd"

if [ -f "$state/no-32bit" ] && ks_is_pe32 "$exe"; then
  echo "SKIPPED: $(cat "$state/no-32bit")"
  exit "$KS_SKIP_CODE"
fi
export WINEDEBUG=-all,+debugstr
ks_wine_init "$state" "$(dirname "$exe")" "$out"
DISPLAY=$(cat "$state/display")
export DISPLAY

cat > "$out/record-browser.sh" <<REC
#!/bin/sh
printf '%s\n' "\$1" >> "$out/browser.log"
REC
chmod +x "$out/record-browser.sh"
export BROWSER="$out/record-browser.sh"
unset XDG_CURRENT_DESKTOP DESKTOP_SESSION KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID

fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "$out/cwd"
printf 'this is not an image\n' > "$out/cwd/KsSkinBtn_close"
cd "$out/cwd" || fail "no working folder"

start=$(date +%s%N)
ks_wine "$exe" 2> "$out/stderr.log" &
pid=$!
n=0
while kill -0 "$pid" 2>/dev/null && [ $n -lt 100 ]; do
  import -window root "$out/shot-$(printf %02d $n).png" 2>/dev/null || true
  n=$((n + 1))
  sleep 0.05
done
wait "$pid"
rc=$?
elapsed_ms=$(( ($(date +%s%N) - start) / 1000000 ))
echo "exit code $rc after $elapsed_ms ms; $n screenshots"

[ "$rc" -eq 0 ] || fail "exit code $rc, expected 0"
[ "$elapsed_ms" -ge 900 ] || fail "ended after $elapsed_ms ms, before the second tick"

for _ in $(seq 1 50); do
  [ -s "$out/browser.log" ] && break
  sleep 0.1
done
sleep 1
[ -s "$out/browser.log" ] || fail "the browser was never started"
opened=$(cat "$out/browser.log")
count=$(wc -l < "$out/browser.log")
[ "$count" -eq 1 ] || fail "the browser was started $count times: $opened"
[ "$opened" = "$address" ] || [ "$opened" = "$address/" ] || fail "browser got '$opened', expected '$address'"

grep -q 'KsSkinBtn_close' "$out/stderr.log" || fail "the damaged file was not reported (see $out/stderr.log)"

expected="330x100+347+334"
found=
for shot in "$out"/shot-*.png; do
  [ -f "$shot" ] || continue
  [ "$(convert "$shot" -trim -format '%wx%h%X%Y' info: 2>/dev/null)" = "$expected" ] && { found=$shot; break; }
done
[ -n "$found" ] || fail "no screenshot shows a 330x100 window at +347+334"
rm -f "$out"/shot-*.png
echo "PASS: window shown, opened $opened once, exit 0 after $elapsed_ms ms, damaged file reported"
