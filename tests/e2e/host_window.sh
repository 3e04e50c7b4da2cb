#!/usr/bin/env bash
# The real binary on a display with a window manager: a centred 640x480 window titled "Vexmo"
# that sleeps while minimised, comes back, and ends with status 0 when the window is closed.
set -euo pipefail
: "${VEXMO_EXE:?}" "${VEXMO_SOURCE_DIR:?}"
work=$(mktemp -d)
cleanup() {
  [ -n "${game_pid:-}" ] && kill "$game_pid" 2>/dev/null || true
  [ -n "${own_x:-}" ] && vexmo_xvfb_stop
  rm -rf "$work"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  . "$VEXMO_SOURCE_DIR/scripts/xvfb-env.sh"
  WITH_WM=1 vexmo_xvfb_start
  own_x=1
fi
export ALSOFT_DRIVERS=null LIBGL_ALWAYS_SOFTWARE=1
# The GL driver is unloaded when the window system shuts down, so the few blocks it keeps until
# exit can no longer be traced to a library; the leak checks of our own code are the unit tests'.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
[ -d "${VEXMO_BINARY_DIR:-}/data" ] && ln -s "$VEXMO_BINARY_DIR/data" "$work/data"
cd "$work"

"$VEXMO_EXE" >"$work/out.txt" 2>&1 &
game_pid=$!
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --onlyvisible --name '^Vexmo$' 2>/dev/null | head -n1 || true)
  [ -n "$wid" ] && break
  kill -0 "$game_pid" 2>/dev/null || { cat "$work/out.txt"; echo "the game ended early"; exit 1; }
  sleep 0.1
done
[ -n "$wid" ] || { echo "no window titled Vexmo"; exit 1; }

info=$(xwininfo -id "$wid")
field() { echo "$info" | sed -n "s/^ *$1: *\([-0-9]*\).*/\1/p"; }
root=$(xwininfo -root)
screen_w=$(echo "$root" | sed -n 's/^ *Width: *\([0-9]*\).*/\1/p')
screen_h=$(echo "$root" | sed -n 's/^ *Height: *\([0-9]*\).*/\1/p')
width=$(field Width)
height=$(field Height)
x=$(field "Absolute upper-left X")
y=$(field "Absolute upper-left Y")
echo "window ${width}x${height} at ${x},${y} on ${screen_w}x${screen_h}"
[ "$width" = 640 ] && [ "$height" = 480 ] || { echo "wrong size"; exit 1; }
[ "$x" = $(((screen_w - 640) / 2)) ] && [ "$y" = $(((screen_h - 480) / 2)) ] ||
  { echo "not centred"; exit 1; }

# Processor use while idling, for the log only: llvmpipe renders on threads of its own, so the
# figure says more about the game's drawing than about the loop (whose pacing the loop tests and
# bench_host_loop measure).
ticks_before=$(awk '{print $14 + $15}' "/proc/$game_pid/stat")
sleep 1
ticks_after=$(awk '{print $14 + $15}' "/proc/$game_pid/stat")
echo "cpu while idling: $(((ticks_after - ticks_before) * 100 / $(getconf CLK_TCK)))% of one core"

# Minimised, the game is suspended and blocks waiting for events instead of running its loop.
xdotool windowminimize --sync "$wid"
sleep 0.3
ticks_before=$(awk '{print $14 + $15}' "/proc/$game_pid/stat")
sleep 1
ticks_after=$(awk '{print $14 + $15}' "/proc/$game_pid/stat")
suspended_percent=$(((ticks_after - ticks_before) * 100 / $(getconf CLK_TCK)))
echo "cpu while minimised: ${suspended_percent}% of one core"
[ "$suspended_percent" -lt 20 ] || { echo "a minimised game keeps running"; exit 1; }
xdotool windowmap --sync "$wid"
kill -0 "$game_pid" 2>/dev/null || { cat "$work/out.txt"; echo "the game ended while minimised"; exit 1; }

# Alt+F4 is the window manager's close request; a key press can be lost while the window is
# still taking the focus, so it is repeated until the game has gone.
status=0
for _ in $(seq 10); do
  xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers alt+F4 >/dev/null 2>&1 || true
  for _ in $(seq 10); do kill -0 "$game_pid" 2>/dev/null || break 2; sleep 0.1; done
done
if kill -0 "$game_pid" 2>/dev/null; then echo "still running after the close request"; exit 1; fi
wait "$game_pid" || status=$?
game_pid=""
echo "exit status $status"
[ "$status" = 0 ] || { cat "$work/out.txt"; exit 1; }
