#!/usr/bin/env bash
# A real game in a real window: start from the menu with a click on a difficulty button, hold
# the mouse to fire, open the pause menu with Escape, quit through it and land back in the menu.
# Screenshots of each stage go to $VEXMO_BINARY_DIR/shots/ for a look by eye.
set -euo pipefail
: "${VEXMO_EXE:?}" "${VEXMO_BINARY_DIR:?}" "${VEXMO_SOURCE_DIR:?}"

if [ -z "${DISPLAY:-}" ]; then
  . "$VEXMO_SOURCE_DIR/scripts/xvfb-env.sh"
  WITH_WM=1 vexmo_xvfb_start
  trap vexmo_xvfb_stop EXIT
fi
export ALSOFT_DRIVERS=null LIBGL_ALWAYS_SOFTWARE=1
# In a sanitizer build, the GL driver's leaks show up with frames of libraries already unloaded
# at exit, which no suppression can name; our own leaks are the unit tests' to find.
export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"

shots="$VEXMO_BINARY_DIR/shots"
mkdir -p "$shots"
# A private working folder keeps this game's saved record away from other tests; the data
# folder is the build's.
work=$(mktemp -d)
ln -s "$VEXMO_BINARY_DIR/data" "$work/data"
game_pid=""
cleanup() {
  if [ -n "$game_pid" ] && kill "$game_pid" 2>/dev/null; then wait "$game_pid" 2>/dev/null || true; fi
  rm -rf "$work"
  if declare -F vexmo_xvfb_stop >/dev/null; then vexmo_xvfb_stop; fi
}
trap cleanup EXIT

fail() {
  echo "FAIL: $*" >&2
  [ -f "$work/stdout.txt" ] && tail -n 40 "$work/stdout.txt" >&2
  exit 1
}
# A press held for a few updates, as a hand clicks: the game samples the button once per update.
click_at() {
  xdotool mousemove --window "$wid" "$1" "$2" mousedown 1
  sleep 0.15
  xdotool mouseup 1
}

# Distinct colours in a screenshot: a blank or frozen window has very few.
colours() { /usr/bin/convert "$1" -format '%k' info:; }
# Number of differing pixels of two screenshots, 0 when identical.
difference() { /usr/bin/compare -metric AE "$1" "$2" null: 2>&1 || true; }
# "r g b" of one pixel.
pixel() { /usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r)] %[fx:int(255*p{$2,$3}.g)] %[fx:int(255*p{$2,$3}.b)]" info:; }

(cd "$work" && exec "$VEXMO_EXE" >"$work/stdout.txt" 2>&1) &
game_pid=$!
wid=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" --name '^Vexmo$' | head -n1)
[ -n "$wid" ] || fail "no window"

# Loading takes half a second, the menu slides in over another half.
sleep 2
import -window "$wid" "$shots/menu.png"
[ "$(colours "$shots/menu.png")" -gt 20 ] || fail "the menu looks empty"

# The hardest difficulty button sits at 60% of the width, 70% of the height of 640 x 480.
click_at 384 336
# Round 1 needs two seconds before its first microbe appears; then they grow.
sleep 4
xdotool mousemove --window "$wid" 320 60 mousedown 1
sleep 0.6
import -window "$wid" "$shots/play.png"
xdotool mouseup 1
[ "$(colours "$shots/play.png")" -gt 20 ] || fail "the play field looks empty"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended while playing"

xdotool keydown Escape
sleep 0.15
xdotool keyup Escape
sleep 0.8
import -window "$wid" "$shots/pause.png"
[ "$(difference "$shots/play.png" "$shots/pause.png")" != 0 ] || fail "Escape changed nothing"
# The panel's orange body lies below its middle button once it has come to rest.
read -r r g b <<<"$(pixel "$shots/pause.png" 250 290)"
[ "$r" -gt 150 ] && [ "$b" -lt 80 ] || fail "no pause panel at (250, 290): $r $g $b"

# The pause panel rests at half the height; quit is its top-left button.
click_at 180 184
# The game-over overlay runs for 90 updates, then the menu slides in.
sleep 1
import -window "$wid" "$shots/game_over.png"
sleep 2.5
import -window "$wid" "$shots/menu_after.png"
kill -0 "$game_pid" 2>/dev/null || fail "the game ended after the game over"
# The finished game's score now heads the last list, so the menu differs from the first one.
[ "$(difference "$shots/menu.png" "$shots/menu_after.png")" != 0 ] || fail "the menu did not come back"
grep -q "Runtime Error" "$work/stdout.txt" && fail "runtime error: $(cat "$work/stdout.txt")"

# With a window manager the window can be closed the ordinary way; the game must end cleanly.
if xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; then
  xdotool key --window "$wid" alt+F4
  for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.05; done
  status=0
  wait "$game_pid" || status=$?
  game_pid=""
  [ "$status" = 0 ] || fail "the game ended with status $status"
fi
echo "play_game: ok"
