#!/usr/bin/env bash
# No audio device at all (OpenAL finds no backend): the failure is reported once, the game runs
# silent through the menu and a round, and closes with status 0.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
export ALSOFT_DRIVERS=no-such-backend
e2e_setup
e2e_start
wait_for_menu
click_at 256 336
sleep 3
xdotool mousemove --window "$wid" 320 40 mousedown 1
sleep 1
xdotool mouseup 1
alive "playing without audio"
close_game
[ "$closed_status" = 0 ] || fail "closing ended with status $closed_status"
grep -q "^alcOpenDevice failed" "$work/out.txt" || fail "the missing device was not reported"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
echo "robust_no_audio: ok"
