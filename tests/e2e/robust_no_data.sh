#!/usr/bin/env bash
# No data folder at all: the game still runs, draws nothing but its clear colour, takes clicks
# without harm, and ends cleanly with status 0 when its window is closed.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup none
# The build's data folder sits beside the build's program, where the game also looks: a copy of
# the program in a folder of its own has none anywhere.
mkdir "$work/bin"
cp "$VEXMO_EXE" "$work/bin/vexmo"
VEXMO_EXE=$work/bin/vexmo
e2e_start
wait_for_menu
shot "$shots/robust-no-data.png"
n=$(colours "$shots/robust-no-data.png")
echo "colours without data: $n"
[ "$n" -le 4 ] || fail "the game drew $n colours without any data"
click_at 256 336
sleep 1
alive "after a click without data"
close_game
[ "$closed_status" = 0 ] || fail "closing ended with status $closed_status"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
# One line names the places looked in, in their order.
grep -qx "No data folder found (looked in ./data, $work/share/vexmo/data and $work/bin/data): .*" \
  "$work/out.txt" || fail "no line naming the places tried: $(cat "$work/out.txt")"
echo "robust_no_data: ok"
