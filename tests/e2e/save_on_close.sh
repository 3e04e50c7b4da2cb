#!/usr/bin/env bash
# Closing the window keeps a sound mode changed in the menu: change it, close the window the
# ordinary way, start again in the same folder and find the same mode in the saved record and
# on the menu's sound button.
set -euo pipefail
: "${VEXMO_EXE:?}" "${VEXMO_BINARY_DIR:?}" "${VEXMO_SOURCE_DIR:?}"

if [ -z "${DISPLAY:-}" ]; then
  . "$VEXMO_SOURCE_DIR/scripts/xvfb-env.sh"
  WITH_WM=1 vexmo_xvfb_start
fi
export ALSOFT_DRIVERS=null LIBGL_ALWAYS_SOFTWARE=1

shots="$VEXMO_BINARY_DIR/shots"
mkdir -p "$shots"
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
  [ -f "$work/stdout.txt" ] && sed 's/^/  game: /' "$work/stdout.txt" >&2
  exit 1
}
xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' ||
  fail "closing the window needs a window manager"

start_game() {
  (cd "$work" && exec "$VEXMO_EXE" >>"$work/stdout.txt" 2>&1) &
  game_pid=$!
  wid=$(timeout 20 xdotool search --sync --onlyvisible --pid "$game_pid" --name '^Vexmo$' | head -n1)
  [ -n "$wid" ] || fail "no window"
  sleep 2
}
close_game() {
  xdotool key --window "$wid" alt+F4
  for _ in $(seq 100); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.05; done
  local status=0
  wait "$game_pid" || status=$?
  game_pid=""
  [ "$status" = 0 ] || fail "the game ended with status $status"
}
click_at() {
  xdotool mousemove --window "$wid" "$1" "$2" mousedown 1
  sleep 0.15
  xdotool mouseup 1
}
field() { tr '|' '\n' <"$work/.vantorstate" | sed -n "$(($1 + 1))p"; }
# The sound button and its mode mark, left of the middle of the 640 x 480 menu.
sound_button() {
  import -window "$wid" "$work/full.png"
  /usr/bin/convert "$work/full.png" -crop 90x70+0+205 +repage "$1"
}
difference() { /usr/bin/compare -metric AE "$1" "$2" null: 2>&1 || true; }

start_game
sound_button "$work/mode1.png"
# One click: music and effects (1) -> effects only (2).
click_at 32 240
sleep 0.5
sound_button "$work/mode2.png"
cp "$work/full.png" "$shots/sound_mode_changed.png"
[ "$(difference "$work/mode1.png" "$work/mode2.png")" != 0 ] || fail "the click changed nothing"
[ ! -e "$work/.vantorstate" ] || fail "saved before the window was closed"
close_game

[ -e "$work/.vantorstate" ] || fail "closing the window saved nothing"
[ "$(field 5)" = 2 ] || fail "the saved sound mode is $(field 5), not 2"

start_game
grep -q "Settings Loaded" "$work/stdout.txt" || fail "the settings were not loaded"
sound_button "$work/restarted.png"
cp "$work/full.png" "$shots/sound_mode_restarted.png"
[ "$(difference "$work/mode2.png" "$work/restarted.png")" = 0 ] ||
  fail "the sound button does not show the kept mode"
close_game
echo "save_on_close: ok"
