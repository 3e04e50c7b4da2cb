#!/usr/bin/env bash
# The real game on a display: the loading picture first, then the menu; growing the window
# makes the game load the larger image set, and it keeps running and drawing throughout.
# Screenshots land in $VEXMO_BINARY_DIR/e2e-shots for review.
set -euo pipefail
: "${VEXMO_EXE:?}" "${VEXMO_SOURCE_DIR:?}" "${VEXMO_BINARY_DIR:?}"
work=$(mktemp -d)
shots="$VEXMO_BINARY_DIR/e2e-shots"
mkdir -p "$shots"
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
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
[ -d "$VEXMO_BINARY_DIR/data" ] || { echo "no data folder in $VEXMO_BINARY_DIR"; exit 1; }
ln -s "$VEXMO_BINARY_DIR/data" "$work/data"
cd "$work"

"$VEXMO_EXE" >"$work/out.txt" 2>&1 &
game_pid=$!
wid=""
for _ in $(seq 100); do
  wid=$(xdotool search --onlyvisible --name '^Vexmo$' 2>/dev/null | head -n1 || true)
  [ -n "$wid" ] && break
  kill -0 "$game_pid" 2>/dev/null || { cat "$work/out.txt"; echo "the game ended early"; exit 1; }
  sleep 0.05
done
[ -n "$wid" ] || { echo "no window titled Vexmo"; exit 1; }

alive() { kill -0 "$game_pid" 2>/dev/null || { cat "$work/out.txt"; echo "the game died: $1"; exit 1; }; }
# Distinct colours in a window capture: a blank or single-colour window means nothing drew.
colours() { /usr/bin/convert "$1" -format '%k' info:; }

import -window "$wid" "$shots/shell-loading.png"
sleep 2
alive "after loading"
import -window "$wid" "$shots/shell-menu.png"
menu_colours=$(colours "$shots/shell-menu.png")
echo "menu at 640x480: $menu_colours colours"
[ "$menu_colours" -gt 16 ] || { echo "the menu drew (almost) nothing"; exit 1; }

# Grow the window past 1230 pixels: every slot is loaded again from the -hd2 set.
xdotool windowsize "$wid" 1280 1000
sleep 3
alive "after the resize"
size=$(xwininfo -id "$wid" | sed -n 's/^ *Width: *\([0-9]*\).*/\1/p')
echo "window width after the resize: $size"
[ "$size" -gt 1230 ] || { echo "the window did not grow"; exit 1; }
import -window "$wid" "$shots/shell-menu-large.png"
large_colours=$(colours "$shots/shell-menu-large.png")
echo "menu at ${size} wide: $large_colours colours"
[ "$large_colours" -gt 16 ] || { echo "nothing drawn after the resize"; exit 1; }

# And back down: the plain set again.
xdotool windowsize "$wid" 600 400
sleep 2
alive "after shrinking"
import -window "$wid" "$shots/shell-menu-small.png"

if grep -q "Runtime Error" "$work/out.txt"; then cat "$work/out.txt"; exit 1; fi
echo "ok"
