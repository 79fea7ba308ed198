# Shared pieces of the tests that run a program in a private Xvfb server.
# Source it, then call start_xvfb. Provides:
#   fail MESSAGE                 print and exit 1
#   start_xvfb                   starts Xvfb 1024 x 768 x 24, exports DISPLAY
#                                (exit 77, skipped, when the tools are missing)
#   wait_for_window NAME         sets $window to the visible window named NAME
#   geometry                     sets X Y WIDTH HEIGHT of $window's client area
#   shoot FILE                   screenshot of the whole screen as PNG
#   pixel X Y                    RRGGBB of the last screenshot ($work/shot.png)
#   expect_pixels LABEL "x y RRGGBB"...   retried for up to 10 s
#   close_window CLOSER          the user's close request, waits for the exit;
#                                sets $exit_code
# $work is a private temporary folder removed at exit; a program started in
# the background should set $program_pid so that it is killed at exit.

fail() { echo "FAIL: $*" >&2; exit 1; }

start_xvfb() {
  local tool
  for tool in Xvfb xdotool xwininfo convert; do
    command -v "$tool" >/dev/null || { echo "SKIP: $tool is not installed"; exit 77; }
  done
  if command -v import >/dev/null; then
    shoot() { import -display ":$display" -window root "png:$1"; }
  elif command -v xwd >/dev/null; then
    shoot() { xwd -display ":$display" -root -silent | convert xwd:- "png:$1"; }
  else
    echo "SKIP: neither import nor xwd is installed"; exit 77
  fi

  work=$(mktemp -d)
  xvfb_pid=
  program_pid=
  trap cleanup_xvfb EXIT
  # Xvfb picks a free display number itself and writes it to fd 3. Without
  # -noreset it resets when its last client leaves, and a program starting
  # during the reset cannot connect.
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp -noreset -br 3>"$work/display" 2>"$work/xvfb.log" &
  xvfb_pid=$!
  for _ in $(seq 100); do
    [ -s "$work/display" ] && break
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  display=$(tr -dc 0-9 <"$work/display")
  if [ -z "$display" ]; then
    echo "SKIP: Xvfb cannot run here: $(tail -n 3 "$work/xvfb.log")"
    exit 77
  fi
  export DISPLAY=":$display"
  unset WAYLAND_DISPLAY ORVANE_BACKEND
  echo "Xvfb on $DISPLAY"
}

cleanup_xvfb() {
  # SDL turns SIGTERM into a quit request, which a message box ignores.
  [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  wait 2>/dev/null
  rm -rf "$work"
}

wait_for_window() {
  window=$(timeout 20 xdotool search --sync --onlyvisible --name "^$1\$" | head -n 1)
  [ -n "$window" ] || fail "no window named $1 appeared: $(cat "$work"/*.err 2>/dev/null)"
  echo "window $window"
}

geometry() {
  unset X Y WIDTH HEIGHT
  eval "$(xdotool getwindowgeometry --shell "$window")"
}

pixel() { convert "$work/shot.png" -format "%[hex:p{$1,$2}]" info: | cut -c1-6; }

expect_pixels() {
  local label=$1; shift
  local tries bad check cx cy want got
  for tries in $(seq 50); do
    geometry
    shoot "$work/shot.png" || fail "screenshot failed"
    bad=""
    for check in "$@"; do
      read -r cx cy want <<<"$check"
      got=$(pixel $((X + cx)) $((Y + cy)))
      [ "$got" = "$want" ] || bad="$bad client ($cx,$cy) screen ($((X + cx)),$((Y + cy))): $got, expected $want;"
    done
    [ -z "$bad" ] && { echo "$label: pixels as expected"; return 0; }
    sleep 0.2
  done
  fail "$label:$bad"
}

# Waits up to 10 s for $program_pid to end; sets exit_code.
wait_for_exit() {
  for _ in $(seq 100); do
    kill -0 "$program_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill -0 "$program_pid" 2>/dev/null && fail "the program still runs after 10 s: $1"
  wait "$program_pid"
  exit_code=$?
  program_pid=
}

close_window() {
  "$1" "$window" || fail "could not send the close request"
  wait_for_exit "it was asked to close"
}
