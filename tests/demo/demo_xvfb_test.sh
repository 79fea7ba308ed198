#!/usr/bin/env bash
# The real demo program in a private X server (Xvfb), started in the folder
# with the sample pictures as the README tells a newcomer to do.
#
#   demo_xvfb_test.sh DEMO SNAPSHOT CLOSER DATA_DIR
#
# DEMO is DemoOrvanePicture, SNAPSHOT orvane-demo-snapshot (the same window
# built and painted headless), CLOSER sends the window manager's
# WM_DELETE_WINDOW request. The window's client area on the X screen must
# hold exactly the snapshot's pixels: the full comparison, filtered drawings
# on the left, plain ones on the right. Exit 77 (skipped) only when Xvfb or
# the screenshot tools are missing.
set -u
. "$(dirname "$0")/../backend/xvfb_harness.sh"

demo=$1
snapshot=$2
closer=$3
data=$4
[ -f "$data/Socer.EMF" ] || fail "no sample pictures in $data"
start_xvfb
cd "$data" || fail "cannot enter $data"
sums_before=$(md5sum ./*)

"$snapshot" "$work/expected.png" 2>"$work/snapshot.err" || fail "snapshot failed: $(cat "$work/snapshot.err")"
[ -s "$work/snapshot.err" ] && fail "the headless paint reported: $(cat "$work/snapshot.err")"

# Pixels that are not white in a region of an image.
non_white() {  # image, width, height, left, top
  convert "$1" -crop "$2x$3+$4+$5" +repage -fill black +opaque white -format "%[fx:round(w*h*(1-mean))]" info:
}
# The comparison itself, in the snapshot: every drawing column has something.
for region in "104 118 8 112" "104 118 328 112" "100 120 150 122" "100 120 470 122" \
              "100 100 10 275" "100 100 328 275"; do
  read -r w h l t <<<"$region"
  count=$(non_white "$work/expected.png" "$w" "$h" "$l" "$t")
  [ "$count" -gt 500 ] || fail "the snapshot has only $count drawn pixels in ${w}x${h}+$l+$t"
done

"$demo" >"$work/demo.out" 2>"$work/demo.err" &
program_pid=$!
wait_for_window Form1
geometry
[ "$WIDTH" -eq 600 ] && [ "$HEIGHT" -eq 402 ] || fail "client size ${WIDTH}x${HEIGHT}, expected 600x402"

# The X screen shows the same pixels as the headless paint (retried while
# the first frame is still on its way).
differing=
for _ in $(seq 50); do
  geometry
  shoot "$work/shot.png" || fail "screenshot failed"
  convert "$work/shot.png" -crop "600x402+$X+$Y" +repage "$work/client.png"
  differing=$(compare -metric AE "$work/expected.png" "$work/client.png" null: 2>&1)
  [ "$differing" = 0 ] && break
  sleep 0.2
done
[ "$differing" = 0 ] || {
  cp "$work/client.png" "${TMPDIR:-/tmp}/demo_xvfb_client.png"
  fail "$differing pixels differ from the headless snapshot (screen kept in ${TMPDIR:-/tmp}/demo_xvfb_client.png)"
}
echo "the window shows the full comparison, pixel for pixel"

# The window's icon is the program's 32 x 32 MAINICON.
if command -v xprop >/dev/null; then
  icon=$(xprop -id "$window" -notype 32c _NET_WM_ICON | tr -d ' \n' | sed 's/^_NET_WM_ICON=//')
  IFS=, read -r iw ih _ <<<"$icon"
  [ "$iw" = 32 ] && [ "$ih" = 32 ] || fail "icon size ${iw}x${ih}, expected 32x32"
  echo "icon: 32 x 32"
fi

close_window "$closer"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after closing, expected 0: $(cat "$work/demo.err")"
[ -s "$work/demo.err" ] && fail "the program reported: $(cat "$work/demo.err")"
echo "closed, exit code 0"
[ "$(md5sum ./*)" = "$sums_before" ] || fail "the sample pictures were changed"
exit 0
