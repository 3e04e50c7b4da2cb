#!/usr/bin/env bash
# A first round cleared earns a badge that a player can see: the autopilot plays until the
# round is cleared, the pop-up slides in at the bottom-left, the window is closed, and after a
# restart the menu's badge box shows that badge bright while one not earned stays dim.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
have_wm || fail "closing the window needs a window manager"

# Pixels of a region brighter than nearly white, as a fraction.
white_share() {
  /usr/bin/convert "$1" -crop "$2" +repage -colorspace gray -threshold 85% -format '%[fx:mean]' info:
}
# Pixels of a region in the gold of an earned badge's name (r, g high; b lower), as a fraction.
gold_share() {
  /usr/bin/convert "$1" -crop "$2" +repage \
    -fx '(r > 0.75 && g > 0.65 && b < 0.6 && r - b > 0.25) ? 1 : 0' -format '%[fx:mean]' info:
}
# Mean brightness (0..1) of a region.
brightness() {
  /usr/bin/convert "$1" -crop "$2" +repage -colorspace gray -format '%[fx:mean]' info:
}
above() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# The autopilot takes about ten seconds to clear the first round; a sanitizer build is slower.
limit=90
ldd "$VEXMO_EXE" 2>/dev/null | grep -q libasan && limit=240
e2e_start --demo --demo-saves
for _ in $(seq $((limit * 10))); do
  grep -q "^Badge earned: Clean Dish" "$work/out.txt" && break
  alive "before the first round was cleared"
  sleep 0.1
done
grep -q "^Badge earned: Clean Dish" "$work/out.txt" || fail "no badge for the first round"
# The pop-up slides in over nine updates and rests for almost four seconds.
sleep 0.5
shot "$work/popup.png"
cp "$work/popup.png" "$shots/badge-popup.png"
# Slot 0 is the lowest: the box is 160 x 32 at the left edge, 34 above the bottom; its name in
# white, the picture at its right end.
read -r r g b <<<"$(mean_colour "$work/popup.png" 6x24+2+450)"
[ "$b" -gt 50 ] && [ "$r" -lt 40 ] && [ "$g" -lt 40 ] || fail "no pop-up box at the bottom-left: $r $g $b"
text=$(white_share "$work/popup.png" 100x22+10+451)
above "$text" 0.04 || fail "no name in the pop-up (white share $text)"
# The same strip beyond the dish on the right is plain background.
elsewhere=$(white_share "$work/popup.png" 100x22+470+451)
above "$text" "$(awk -v e="$elsewhere" 'BEGIN { print e * 4 + 0.01 }')" ||
  fail "the pop-up's text does not stand out ($text against $elsewhere)"
close_cleanly
[ "$(check_state_file "$work/.vantorstate")" = ok ] || fail "saved record: $(check_state_file "$work/.vantorstate")"
# Badge 1 is bit 1 of the first badge word (field 26).
word=$(tr '|' '\n' <"$work/.vantorstate" | sed -n 27p)
[ $((word & 2)) = 2 ] || fail "the saved badge word $word lacks the first-round badge"

# Again, without the autopilot: the badge box from the menu's button beside the sound button.
: >"$work/out.txt"
start_to_menu
grep -q "Badges Loaded" "$work/out.txt" || fail "the badges were not loaded"
click_at 32 168
sleep 0.5
shot "$work/box.png"
cp "$work/box.png" "$shots/badge-box.png"
# First row: the first-round badge, earned; second row: round 5 on Easy, not earned. Pictures
# sit 38 from the left, rows 56 apart from 84 down; names start at 68, 16 below a row's top.
first=$(brightness "$work/box.png" 30x30+23+69)
second=$(brightness "$work/box.png" 30x30+23+125)
above "$first" "$(awk -v s="$second" 'BEGIN { print s * 1.8 }')" ||
  fail "the earned badge is not brighter than an unearned one ($first against $second)"
gold=$(gold_share "$work/box.png" 110x12+64+66)
above "$gold" 0.05 || fail "the earned badge's name is not in gold ($gold)"
grey=$(gold_share "$work/box.png" 110x12+64+122)
above 0.01 "$grey" || fail "an unearned badge's name is in gold ($grey)"
# Escape closes the box and the menu is back.
xdotool keydown Escape
sleep 0.15
xdotool keyup Escape
sleep 0.4
shot "$work/closed.png"
[ "$(difference "$work/box.png" "$work/closed.png")" != 0 ] || fail "Escape did not close the box"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
close_cleanly
echo "badge_first_round: ok"
