#!/usr/bin/env bash
# Fullscreen on a real display with a window manager: F11 makes the window cover the 1280 x 1024
# screen, the menu is laid out for that size and the largest image set loads; F11 again brings
# back the 640 x 480 window at its old place. Alt+Enter does the same. The choice is kept in the
# saved record, so the next start is fullscreen, and --fullscreen starts that way too. The window
# carries the icon pictures of the data folder. About 20 seconds (30 under the sanitizers).
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup none
have_wm || fail "fullscreen and the way back need a window manager"

# The build's data, with icon pictures of our own when the generator made none.
mkdir "$work/data"
for entry in "$VEXMO_BINARY_DIR"/data/*; do ln -s "$entry" "$work/data/"; done
if [ ! -e "$work/data/icons" ]; then
  mkdir "$work/data/icons"
  for n in 16 32 48 64 128 256; do
    /usr/bin/convert -size "${n}x${n}" xc:'#20c060' "PNG32:$work/data/icons/vexmo_$n.png"
  done
fi
export E2E_TRACE_OPENS="$work/opens.txt"

field() { tr '|' '\n' <"$work/.vantorstate" | sed -n "$(($1 + 1))p"; }
# "X Y W H" of the game's window on the screen.
geometry() {
  xwininfo -id "$wid" | awk '/Absolute upper-left X/ {x = $4} /Absolute upper-left Y/ {y = $4}
    /^ *Width:/ {w = $2} /^ *Height:/ {h = $2} END {print x, y, w, h}'
}
# Waits (up to 5 s) for the window to take the geometry given.
wait_for_geometry() {
  for _ in $(seq 50); do [ "$(geometry)" = "$1" ] && return 0; sleep 0.1; done
  fail "the window is at $(geometry), not $1"
}
press() {
  xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
  xdotool key --clearmodifiers "$1"
}
opened_since() { tail -n +"$1" "$E2E_TRACE_OPENS" | grep -c -- "$2" || true; }
screen_shot() { import -window root "$1"; }
# Screenshots (into $1) until the score column shows in the WxH+X+Y region $2, as it does once
# the pictures for the size are loaded and the menu has slid in; leaves the count in $digits.
wait_for_score_column() {
  for _ in $(seq 30); do
    screen_shot "$1"
    digits=$(score_digits "$1" "$2")
    [ "$digits" -gt 100 ] && return 0
    sleep 0.3
  done
}
# Waits (up to 10 s) until a file named like $2 has been opened since line $1 of the log.
wait_for_opened() {
  for _ in $(seq 100); do [ "$(opened_since "$1" "$2")" -ge 1 ] && return 0; sleep 0.1; done
  fail "$2 was not loaded"
}
# Pixels of the score columns' yellow within a WxH+X+Y region.
score_digits() {
  /usr/bin/convert "$1" -crop "$2" +repage -fx 'r > 0.7 && g > 0.5 && b < 0.45 ? 1 : 0' \
    -format '%[fx:int(mean * w * h + 0.5)]' info:
}

e2e_start
wait_for_geometry "$(geometry | cut -d' ' -f1-2) 640 480"
windowed=$(geometry)
echo "window: $windowed"
read -r wx wy _ <<<"$windowed"
icons=$(xprop -id "$wid" _NET_WM_ICON | grep -o 'Icon ([0-9]* x [0-9]*)' | tr '\n' ' ')
echo "window icons: $icons"
case "$icons" in *'(16 x 16)'*'(128 x 128)'*) ;; *) fail "the window lacks its icons" ;; esac
# The score columns stand at the right edge of the virtual screen: a layout still made for
# 640 units would put them past the screen's edge (600 units fit a 1280 x 1024 screen).
wait_for_score_column "$shots/fullscreen-before.png" "24x300+$((wx + 612))+$((wy + 80))"
echo "score column pixels at the window's right edge: $digits"
[ "$digits" -gt 100 ] || fail "no score column at the window's right edge"
background=$(pixel "$shots/fullscreen-before.png" 4 4)

# F11: the whole screen, the menu laid out across it, the -hd2 pictures loaded.
seen=$(($(wc -l <"$E2E_TRACE_OPENS") + 1))
press F11
wait_for_geometry "0 0 1280 1024"
wait_for_score_column "$shots/fullscreen-menu.png" "40x600+1230+150"
echo "score column pixels at the screen's right edge: $digits"
[ "$digits" -gt 100 ] || fail "no score column at the screen's right edge"
[ "$(pixel "$shots/fullscreen-menu.png" 4 4)" != "$background" ] ||
  fail "the top-left corner of the screen still shows the desktop"
[ "$(opened_since "$seen" 'menu-hd2.png')" -ge 1 ] || fail "the -hd2 pictures were not loaded"
[ "$(field 20)" = 1 ] || fail "the record does not say fullscreen: $(field 20)"
[ "$(check_state_file "$work/.vantorstate")" = ok ] || fail "record: $(check_state_file "$work/.vantorstate")"

# F11 again: back to the 640 x 480 window where it was, with the -hd pictures.
seen=$(($(wc -l <"$E2E_TRACE_OPENS") + 1))
press F11
wait_for_geometry "$windowed"
wait_for_opened "$seen" 'menu-hd.png'
[ "$(field 20)" = 0 ] || fail "the record still says fullscreen"

# Alt+Enter switches the same way; leave it fullscreen and close.
press alt+Return
wait_for_geometry "0 0 1280 1024"
alive "after Alt+Enter"
close_cleanly
[ "$(field 20)" = 1 ] && [ "$(check_state_file "$work/.vantorstate")" = ok ] ||
  fail "closing fullscreen kept $(field 20) in the record"

# The next start comes back fullscreen; F11 then gives the centred 640 x 480 window.
e2e_start
wait_for_geometry "0 0 1280 1024"
grep -q "Settings Loaded" "$work/out.txt" || fail "the settings were not loaded"
press F11
wait_for_geometry "$windowed"
alive "after leaving the remembered fullscreen"
close_cleanly
[ "$(field 20)" = 0 ] || fail "the window was not remembered"

# --fullscreen starts fullscreen whatever the record says, and that choice is recorded.
e2e_start --fullscreen
wait_for_geometry "0 0 1280 1024"
wait_for_score_column "$shots/fullscreen-option.png" "40x600+1230+150"
[ "$digits" -gt 100 ] || fail "--fullscreen: no score column at the screen's right edge"
[ "$(pixel "$shots/fullscreen-option.png" 4 4)" != "$background" ] ||
  fail "--fullscreen left the desktop showing"
close_cleanly
[ "$(field 20)" = 1 ] || fail "--fullscreen was not recorded"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
echo "window_fullscreen: ok"
