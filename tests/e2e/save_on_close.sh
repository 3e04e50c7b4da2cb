#!/usr/bin/env bash
# Closing the window keeps a sound mode changed in the menu: change it, close the window the
# ordinary way, start again in the same folder and find the same mode in the saved record and
# on the menu's sound button.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
have_wm || fail "closing the window needs a window manager"

field() { tr '|' '\n' <"$work/.vantorstate" | sed -n "$(($1 + 1))p"; }
# The sound button and its mode mark, left of the middle of the 640 x 480 menu.
sound_button() {
  shot "$work/full.png"
  /usr/bin/convert "$work/full.png" -crop 90x70+0+205 +repage "$1"
}

start_to_menu
sound_button "$work/mode1.png"
# One click: music and effects (1) -> effects only (2).
click_at 32 240
sleep 0.5
sound_button "$work/mode2.png"
cp "$work/full.png" "$shots/sound_mode_changed.png"
[ "$(difference "$work/mode1.png" "$work/mode2.png")" != 0 ] || fail "the click changed nothing"
[ ! -e "$work/.vantorstate" ] || fail "saved before the window was closed"
close_cleanly

[ -e "$work/.vantorstate" ] || fail "closing the window saved nothing"
[ "$(field 5)" = 2 ] || fail "the saved sound mode is $(field 5), not 2"

start_to_menu
grep -q "Settings Loaded" "$work/out.txt" || fail "the settings were not loaded"
sound_button "$work/restarted.png"
cp "$work/full.png" "$shots/sound_mode_restarted.png"
[ "$(difference "$work/mode2.png" "$work/restarted.png")" = 0 ] ||
  fail "the sound button does not show the kept mode"
close_cleanly
echo "save_on_close: ok"
