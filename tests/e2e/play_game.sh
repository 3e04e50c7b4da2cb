#!/usr/bin/env bash
# A real game in a real window: start from the menu with a click on a difficulty button, hold
# the mouse to fire, open the pause menu with Escape, quit through it and land back in the menu.
# Screenshots of each stage go to $VEXMO_BINARY_DIR/e2e-shots/ for a look by eye.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
start_to_menu
shot "$shots/play-menu.png"
[ "$(colours "$shots/play-menu.png")" -gt 20 ] || fail "the menu looks empty"

# The hardest difficulty button sits at 60% of the width, 70% of the height of 640 x 480.
click_at 384 336
# Round 1 needs two seconds before its first microbe appears; then they grow.
sleep 4
xdotool mousemove --window "$wid" 320 60 mousedown 1
sleep 0.6
shot "$shots/play-field.png"
xdotool mouseup 1
[ "$(colours "$shots/play-field.png")" -gt 20 ] || fail "the play field looks empty"
alive "while playing"

xdotool keydown Escape
sleep 0.15
xdotool keyup Escape
sleep 0.8
shot "$shots/play-pause.png"
[ "$(difference "$shots/play-field.png" "$shots/play-pause.png")" != 0 ] || fail "Escape changed nothing"
# The panel's orange body lies below its middle button once it has come to rest.
read -r r g b <<<"$(pixel "$shots/play-pause.png" 250 290)"
[ "$r" -gt 150 ] && [ "$b" -lt 80 ] || fail "no pause panel at (250, 290): $r $g $b"

# The pause panel rests at half the height; quit is its top-left button.
click_at 180 184
# The game-over overlay runs for 90 updates, then the menu slides in.
sleep 1
shot "$shots/play-game-over.png"
sleep 2.5
shot "$shots/play-menu-after.png"
alive "after the game over"
# The finished game's score now heads the last list, so the menu differs from the first one.
[ "$(difference "$shots/play-menu.png" "$shots/play-menu-after.png")" != 0 ] || fail "the menu did not come back"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"

# With a window manager the window can be closed the ordinary way; the game must end cleanly.
if have_wm; then
  close_cleanly
fi
echo "play_game: ok"
