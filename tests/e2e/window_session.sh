#!/usr/bin/env bash
# A whole session on the real binary, driven by xdotool as a player would: the menu's colours
# and layout, a click on the normal button, firing that shows where the shots fly, iconifying
# that pauses play with the pause menu open, quitting through it, the score filed in the lists,
# growing the window to 1280x1024 (the "-hd2" images load, nothing crashes), and a close that
# ends with status 0 and a valid saved record. Screenshots go to $VEXMO_BINARY_DIR/e2e-shots.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
have_wm || fail "this session needs a window manager for iconify and focus"

# File opens are traced so the image set the game loads can be seen from outside.
E2E_TRACE_OPENS="$work/opens.txt" e2e_start
wait_for_menu

# --- The menu: a deep blue background, the darker score panel on the right, three buttons in
# green, orange and red.
shot "$shots/session-menu.png"
[ "$(colours "$shots/session-menu.png")" -gt 20 ] || fail "the menu looks empty"
read -r r g b <<<"$(mean_colour "$shots/session-menu.png" 20x20+0+440)"
[ "$b" -gt "$r" ] && [ "$b" -gt "$g" ] && [ "$b" -ge 50 ] ||
  fail "the menu background at the bottom-left corner is $r $g $b, not blue"
read -r lr lg lb <<<"$(mean_colour "$shots/session-menu.png" 6x120+490+140)"
read -r pr pg pb <<<"$(mean_colour "$shots/session-menu.png" 6x120+503+140)"
[ $((pr + pg + pb)) -lt $((lr + lg + lb)) ] ||
  fail "no darker score panel on the right ($pr $pg $pb against $lr $lg $lb beside it)"
# The three difficulty buttons at 20%, 40% and 60% of the width, 70% of the height; their upper
# parts (above the labels) carry their colours.
read -r r g b <<<"$(mean_colour "$shots/session-menu.png" 16x8+100+302)"
[ "$g" -gt "$r" ] && [ "$g" -gt "$b" ] || fail "easy button is not green: $r $g $b"
read -r r g b <<<"$(mean_colour "$shots/session-menu.png" 16x8+228+302)"
[ "$r" -gt "$b" ] && [ "$g" -gt "$b" ] && [ "$r" -gt 150 ] || fail "normal button is not orange: $r $g $b"
read -r r g b <<<"$(mean_colour "$shots/session-menu.png" 16x8+356+302)"
[ "$r" -gt "$g" ] && [ "$r" -gt "$b" ] || fail "hard button is not red: $r $g $b"

# --- Start a normal game.
click_at 256 336
sleep 3  # the round caption passes and the first microbes appear
alive "after starting a game"
shot "$shots/session-play-idle.png"

# --- Hold the mouse: the ship turns to the pointer and fires inward. The shots fly along the
# line from the top of the dish to its middle; compared with not firing, that strip changes.
# The ship needs a moment to swing round from where it stood, and a loaded machine runs the
# game slower than the clock on the wall, so the strip is looked at until shots cross it.
xdotool mousemove --window "$wid" 320 40 mousedown 1
changed=0
for _ in $(seq 15); do
  sleep 0.4
  shot "$shots/session-play-firing.png"
  changed=$(difference "$shots/session-play-idle.png" "$shots/session-play-firing.png" 40x160+300+40)
  [ "$changed" -gt 50 ] && break
done
xdotool mouseup 1
echo "pixels changed along the line of fire: $changed"
[ "$changed" -gt 50 ] || fail "holding the mouse fired nothing"

# Sweep round the dish while firing so the game has a score to file.
xdotool mousedown 1
for angle in $(seq 0 15 705); do
  read -r mx my <<<"$(awk -v a="$angle" 'BEGIN { r = a * 3.14159265 / 180; printf "%d %d", 320 + 200 * sin(r), 240 - 200 * cos(r) }')"
  xdotool mousemove --window "$wid" "$mx" "$my"
  sleep 0.1
done
xdotool mouseup 1
alive "while firing"

# --- Iconify during play: the game suspends; restored, it is paused with the pause menu open.
xdotool windowminimize --sync "$wid"
sleep 0.5
alive "while iconified"
xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || xdotool windowmap --sync "$wid"
sleep 1
shot "$shots/session-restored.png"
# The panel rests at half the height; its orange body lies below the middle button.
read -r r g b <<<"$(pixel "$shots/session-restored.png" 250 290)"
[ "$r" -gt 150 ] && [ "$b" -lt 80 ] || fail "no pause menu after iconify and restore: $r $g $b"

# --- Quit through the pause menu (its top-left button), then the game-over overlay.
click_at 180 184
sleep 1
shot "$shots/session-game-over.png"
sleep 2.5
alive "after the game over"
shot "$shots/session-menu-after.png"
[ "$(check_state_file "$work/.vantorstate")" = ok ] || fail "record after the game: $(check_state_file "$work/.vantorstate")"
recent=$(recent_scores "$work/.vantorstate" 2)
echo "recent normal scores: $recent"
first=${recent%% *}
[ "$first" -gt 0 ] || fail "the game's score is not in the recent list: $recent"
# The score lists on the right show it: that panel differs from the first menu's.
[ "$(difference "$shots/session-menu.png" "$shots/session-menu-after.png" 140x480+500+0)" != 0 ] ||
  fail "the score lists did not change"

# --- Grow the window to 1280x1024: every image comes again from the "-hd2" set.
xdotool windowsize --sync "$wid" 1280 1024 || true
sleep 3
alive "after growing the window"
read -r w h <<<"$(xwininfo -id "$wid" | awk '/ Width:/ { w = $2 } / Height:/ { h = $2 } END { print w, h }')"
echo "window after the resize: ${w}x${h}"
[ "$w" -gt 1230 ] || fail "the window did not grow (width $w)"
grep -q -- '-hd2\.png' "$work/opens.txt" || fail "no -hd2 image was opened"
echo "hd2 images opened: $(grep -c -- '-hd2\.png' "$work/opens.txt")"
shot "$shots/session-menu-large.png"
[ "$(colours "$shots/session-menu-large.png")" -gt 20 ] || fail "nothing drawn after growing"

# --- Close: status 0 and a valid saved record.
close_game
echo "exit status $closed_status"
[ "$closed_status" = 0 ] || fail "closing ended with status $closed_status"
[ "$(check_state_file "$work/.vantorstate")" = ok ] || fail "record after closing: $(check_state_file "$work/.vantorstate")"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
echo "window_session: ok"
