#!/usr/bin/env bash
# The SDL backend in a real X server (Xvfb).
#
#   sdl_window_test.sh DEMO CLOSER           window test under Xvfb
#   sdl_window_test.sh --no-display DEMO     start-up without any display
#
# DEMO is sdl_window_demo (a 600 x 402 white client area, centred, with the
# client rectangle (100,50)-(300,150) red); CLOSER sends a window the
# WM_DELETE_WINDOW request a window manager sends when the user clicks the
# close button. Exit 77 (skipped) only when Xvfb, xdotool or a screenshot
# tool is missing. Message boxes need the X server's core fonts (xfonts-base).
set -u
. "$(dirname "$0")/xvfb_harness.sh"

if [ "${1:-}" = "--no-display" ]; then
  demo=$2
  out=$(mktemp -d)
  trap 'rm -rf "$out"' EXIT
  check_one_line_failure() {  # label, then the environment changes
    local label=$1; shift
    env -u DISPLAY -u WAYLAND_DISPLAY -u ORVANE_BACKEND "$@" "$demo" >"$out/stdout" 2>"$out/stderr" </dev/null
    local code=$?
    [ "$code" -eq 1 ] || fail "$label: exit code $code, expected 1"
    local lines
    lines=$(wc -l <"$out/stderr")
    [ "$lines" -eq 1 ] || fail "$label: $lines lines on standard error, expected 1: $(cat "$out/stderr")"
    [ -s "$out/stdout" ] && fail "$label: output on standard output: $(cat "$out/stdout")"
    echo "$label: exit 1, stderr: $(cat "$out/stderr")"
  }
  check_one_line_failure "no display"
  check_one_line_failure "unknown backend" ORVANE_BACKEND=nonesuch
  check_one_line_failure "display that does not answer" DISPLAY=:32767
  # The screenless backend needs no display; with no events the loop ends at once.
  env -u DISPLAY -u WAYLAND_DISPLAY ORVANE_BACKEND=headless timeout 20 "$demo" >"$out/stdout" 2>"$out/stderr" </dev/null
  code=$?
  [ "$code" -eq 0 ] || fail "headless: exit code $code, expected 0: $(cat "$out/stderr")"
  echo "headless: exit 0"
  exit 0
fi

demo=$1
closer=$2
start_xvfb

"$demo" >"$work/demo.out" 2>"$work/demo.err" &
program_pid=$!
wait_for_window Form1

# The client area is 600 x 402, centred on the 1024 x 768 screen.
geometry
[ "$WIDTH" -eq 600 ] && [ "$HEIGHT" -eq 402 ] || fail "client size ${WIDTH}x${HEIGHT}, expected 600x402"
[ "$X" -eq 212 ] && [ "$Y" -eq 183 ] || fail "window at ($X,$Y), expected centred at (212,183)"

# The icon: 16 x 16 ARGB values, top row first; the top-left pixel is
# transparent, the rest opaque blue.
if command -v xprop >/dev/null; then
  icon=$(xprop -id "$window" -notype 32c _NET_WM_ICON | tr -d ' \n' | sed 's/^_NET_WM_ICON=//')
  IFS=, read -r iw ih p0 p1 rest <<<"$icon"
  [ "$iw" = 16 ] && [ "$ih" = 16 ] || fail "icon size ${iw}x${ih}, expected 16x16 ($icon)"
  [ $((p0)) -eq 0 ] || fail "icon top-left pixel $p0, expected transparent 0"
  [ $((p1)) -eq $((0xff0000ff)) ] || fail "icon pixel (1,0) $p1, expected opaque blue 0xff0000ff"
  echo "icon: as expected"
else
  echo "xprop is not installed: icon not checked"
fi

# White around the red rectangle (100,50)-(300,150), right/bottom exclusive.
expect_pixels "first paint" \
  "100 50 FF0000" "299 149 FF0000" "200 100 FF0000" \
  "99 50 FFFFFF" "100 49 FFFFFF" "300 149 FFFFFF" "299 150 FFFFFF" \
  "0 0 FFFFFF" "599 401 FFFFFF" "599 0 FFFFFF" "0 401 FFFFFF"

# Resizing repaints the new area through the paint cycle.
xdotool windowsize "$window" 700 500
expect_pixels "after resize" \
  "100 50 FF0000" "299 149 FF0000" "300 149 FFFFFF" "699 499 FFFFFF" "650 20 FFFFFF" "20 450 FFFFFF"

# Unmapped and mapped again, the window has lost its pixels; the exposure
# repaints them.
xdotool windowunmap --sync "$window" && xdotool windowmap --sync "$window" || fail "could not remap the window"
expect_pixels "after exposure" "100 50 FF0000" "299 149 FF0000" "99 50 FFFFFF" "699 499 FFFFFF"

# The mouse: a right click at client (150, 75), then a left double click
# at (20, 30). While pressed, a button's bit is in the shift state (left 8,
# right 16); the second press of a double click reports the double click,
# then a press marked double (64).
xdotool mousemove --window "$window" 150 75 click 3 2>/dev/null
xdotool mousemove --window "$window" 20 30 click --repeat 2 --delay 80 1 2>/dev/null
expected_mouse="down right 150 75 shift 16
up right 150 75 shift 0
down left 20 30 shift 8
up left 20 30 shift 0
dblclick
down left 20 30 shift 72
up left 20 30 shift 0"
for _ in $(seq 50); do
  [ "$(cat "$work/demo.out")" = "$expected_mouse" ] && break
  sleep 0.1
done
[ "$(cat "$work/demo.out")" = "$expected_mouse" ] ||
  fail "mouse events: got
$(cat "$work/demo.out")
expected
$expected_mouse"
echo "mouse: events as expected"

# Close it as a user would; the program ends with exit code 0.
close_window "$closer"
[ "$exit_code" -eq 0 ] || fail "exit code $exit_code after closing, expected 0: $(cat "$work/demo.err")"
echo "closed, exit code 0"

# A failure before the loop: the last-chance box, answered with Return,
# then exit code 1.
"$demo" --fail >"$work/demo.out" 2>"$work/demo.err" &
program_pid=$!
# (xdotool does not match the box's UTF-8 name here; xwininfo lists it.)
box=
for _ in $(seq 100); do
  box=$(xwininfo -root -tree | sed -n 's/^ *\(0x[0-9a-f]*\) "Anwendungsfehler".*/\1/p' | head -n 1)
  [ -n "$box" ] && break
  kill -0 "$program_pid" 2>/dev/null || break
  sleep 0.2
done
[ -n "$box" ] || fail "no message box captioned Anwendungsfehler appeared: $(cat "$work/demo.err")"
echo "message box $box"
xdotool key --window "$box" Return 2>/dev/null
wait_for_exit "the message box was answered"
[ "$exit_code" -eq 1 ] || fail "exit code $exit_code after the last-chance box, expected 1"
[ -s "$work/demo.err" ] && fail "the box was not shown, its text went to standard error: $(cat "$work/demo.err")"
echo "last-chance box answered, exit code 1"
exit 0
