#!/usr/bin/env bash
# The real game on a display: the loading picture first, then the menu; growing the window
# makes the game load the larger image set, and it keeps running and drawing throughout.
# Screenshots land in $VEXMO_BINARY_DIR/e2e-shots for review.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
[ -d "$VEXMO_BINARY_DIR/data" ] || fail "no data folder in $VEXMO_BINARY_DIR"
e2e_start

shot "$shots/shell-loading.png"
sleep 2
alive "after loading"
shot "$shots/shell-menu.png"
menu_colours=$(colours "$shots/shell-menu.png")
echo "menu at 640x480: $menu_colours colours"
[ "$menu_colours" -gt 16 ] || fail "the menu drew (almost) nothing"

# Grow the window past 1230 pixels: every slot is loaded again from the -hd2 set.
xdotool windowsize "$wid" 1280 1000
sleep 3
alive "after the resize"
size=$(xwininfo -id "$wid" | sed -n 's/^ *Width: *\([0-9]*\).*/\1/p')
echo "window width after the resize: $size"
[ "$size" -gt 1230 ] || fail "the window did not grow"
shot "$shots/shell-menu-large.png"
large_colours=$(colours "$shots/shell-menu-large.png")
echo "menu at ${size} wide: $large_colours colours"
[ "$large_colours" -gt 16 ] || fail "nothing drawn after the resize"

# And back down: the plain set again.
xdotool windowsize "$wid" 600 400
sleep 2
alive "after shrinking"
shot "$shots/shell-menu-small.png"

grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
if have_wm; then close_cleanly; fi
echo "shell_resize: ok"
