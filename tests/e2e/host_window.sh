#!/usr/bin/env bash
# The real binary on a display with a window manager: a centred 640x480 window titled "Vexmo"
# that sleeps while minimised, comes back, and ends with status 0 when the window is closed.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
have_wm || fail "minimising and closing need a window manager"
e2e_start

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
[ "$width" = 640 ] && [ "$height" = 480 ] || fail "wrong size"
[ "$x" = $(((screen_w - 640) / 2)) ] && [ "$y" = $(((screen_h - 480) / 2)) ] || fail "not centred"

# Processor time of the game over one second, in percent of one core.
cpu_percent() {
  local before after
  before=$(awk '{print $14 + $15}' "/proc/$game_pid/stat")
  sleep 1
  after=$(awk '{print $14 + $15}' "/proc/$game_pid/stat")
  echo $(((after - before) * 100 / $(getconf CLK_TCK)))
}

# While idling, for the log only: llvmpipe renders on threads of its own, so the figure says
# more about the game's drawing than about the loop (whose pacing the loop tests and
# bench_host_loop measure).
echo "cpu while idling: $(cpu_percent)% of one core"

# Minimised, the game is suspended and blocks waiting for events instead of running its loop.
xdotool windowminimize --sync "$wid"
sleep 0.3
suspended_percent=$(cpu_percent)
echo "cpu while minimised: ${suspended_percent}% of one core"
[ "$suspended_percent" -lt 20 ] || fail "a minimised game keeps running"
xdotool windowmap --sync "$wid"
alive "while minimised"

close_cleanly
echo "host_window: ok"
