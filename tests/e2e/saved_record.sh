#!/usr/bin/env bash
# Scores survive a restart: play a game on the middle difficulty until it ends, close the window,
# start the program again in the same folder and find the score in the menu's lists. Then open
# the credits box from the maker's logo and close it with a click.
# Screenshots go to $VEXMO_BINARY_DIR/e2e-shots/ for a look by eye.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
have_wm || fail "closing the window needs a window manager"

# Field n (from 0) of the saved record.
field() { tr '|' '\n' <"$work/.vantorstate" | sed -n "$(($1 + 1))p"; }
# The score column at the right of the menu (the panel's text, without the title art).
score_panel() { /usr/bin/convert "$1" -crop 140x330+500+50 +repage "$2"; }

# ---- A first run: a whole game on difficulty 2 ----
start_to_menu
shot "$shots/record_menu_fresh.png"
[ ! -e "$work/.vantorstate" ] || fail "a state file before anything was played"

# The middle difficulty button: 40% of the width, 70% of the height.
click_at 256 336
sleep 3
# Fire while circling the pointer round the dish, so the ship hits something.
xdotool mousemove --window "$wid" 320 40 mousedown 1
for _ in $(seq 4); do
  for point in "600 240" "320 440" "40 240" "320 40"; do
    # shellcheck disable=SC2086
    xdotool mousemove --window "$wid" $point
    sleep 0.5
  done
done
xdotool mouseup 1
shot "$shots/record_play.png"
# Then let the dish fill up until the energy runs out; the finished game is saved at once.
for _ in $(seq 1200); do
  [ -e "$work/.vantorstate" ] && break
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended while playing"
  sleep 0.1
done
[ -e "$work/.vantorstate" ] || fail "the game did not end within two minutes"
sleep 2.5
shot "$shots/record_menu_after_game.png"

score=$(field 56)
[ "$(tr '|' '\n' <"$work/.vantorstate" | grep -c .)" = 98 ] || fail "the record has not 98 fields"
[ "$score" -gt 0 ] || fail "the game scored nothing: $(cat "$work/.vantorstate")"
[ "$(field 57)" = "$score" ] || fail "the last list does not start with the score $score"
echo "scored $score"
close_cleanly

# ---- A second run in the same folder: the score is in the lists again ----
start_to_menu
shot "$shots/record_menu_restarted.png"
grep -q "Highscore 1 Loaded" "$work/out.txt" || fail "table 1 was not loaded"
grep -q "Checksum Invalid" "$work/out.txt" && fail "a block was rejected"
score_panel "$shots/record_menu_fresh.png" "$work/panel_fresh.png"
score_panel "$shots/record_menu_after_game.png" "$work/panel_after.png"
score_panel "$shots/record_menu_restarted.png" "$work/panel_restarted.png"
[ "$(difference "$work/panel_fresh.png" "$work/panel_after.png")" != 0 ] ||
  fail "the finished game changed nothing in the lists"
[ "$(difference "$work/panel_after.png" "$work/panel_restarted.png")" = 0 ] ||
  fail "the lists after the restart differ from those before it"

# ---- The credits box, opened from the maker's logo and closed with a click ----
click_at 570 440
sleep 1
shot "$shots/credits.png"
# The top-left corner tile takes the left edge's colour (pure green), the top edge's middle tile
# is yellow, and the test-card circle sits in the middle.
read -r r g b <<<"$(pixel "$shots/credits.png" 5 5)"
[ "$r" -lt 30 ] && [ "$g" -gt 220 ] && [ "$b" -lt 30 ] || fail "no green corner: $r $g $b"
read -r r g b <<<"$(pixel "$shots/credits.png" 320 5)"
[ "$r" -gt 220 ] && [ "$g" -gt 220 ] && [ "$b" -lt 30 ] || fail "no yellow top edge: $r $g $b"
click_at 320 240
sleep 1
shot "$shots/credits_closed.png"
read -r r g b <<<"$(pixel "$shots/credits_closed.png" 5 5)"
[ "$g" -lt 200 ] || fail "the credits box is still there: $r $g $b"
score_panel "$shots/credits_closed.png" "$work/panel_closed.png"
[ "$(difference "$work/panel_after.png" "$work/panel_closed.png")" = 0 ] ||
  fail "the menu did not come back as it was"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
close_cleanly
echo "saved_record: ok"
