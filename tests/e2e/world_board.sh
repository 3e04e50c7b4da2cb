#!/usr/bin/env bash
# The game with a real score board (vexmo-scores on loopback): a replay left unposted by an
# earlier run is posted at the start, a game played by hand is posted as it ends and scored by
# the board as --verify scores it, the globe opens the World box with the board's lists, the
# typed name is kept and sent; with the board down a game's replay is kept to post again; and
# without --scores no globe shows. Screenshots go to $VEXMO_BINARY_DIR/e2e-shots.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
board_pid=""
stop_board() {
  [ -n "$board_pid" ] && kill -TERM "$board_pid" 2>/dev/null && wait "$board_pid" 2>/dev/null
  board_pid=""
  return 0
}
trap 'stop_board; e2e_cleanup' EXIT
port=$(python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])')
board=http://127.0.0.1:$port
VEXMO_SCORES_DATA=$VEXMO_BINARY_DIR/data "$VEXMO_BINARY_DIR/scores/vexmo-scores" \
  --port "$port" --db "$work/scores.db" >"$work/board.txt" 2>&1 &
board_pid=$!
for _ in $(seq 100); do curl -sf "$board/v1/health" >/dev/null 2>&1 && break; sleep 0.1; done
curl -sf "$board/v1/health" >/dev/null || fail "the board did not start: $(cat "$work/board.txt")"

# Waits up to $2 seconds for a line matching $1 in the game's output.
wait_line() {
  for _ in $(seq $(($2 * 10))); do grep -q "$1" "$work/out.txt" && return 0; sleep 0.1; done
  fail "no line \"$1\" in the game's output"
}

# --- Without a board the menu has no globe: the spot right of the medal shows the menu's art.
start_to_menu
shot "$shots/world-none.png"
close_game

# --- A replay an earlier run could not post goes first.
golden="$VEXMO_SOURCE_DIR/tests/game/golden/normal.vxr"
golden_score=$(cd "$work" && "$VEXMO_EXE" --verify "$golden" | awk '{print $2}')
mkdir -p "$work/unposted"
cp "$golden" "$work/unposted/game-1.vxr"
start_to_menu --scores "$board"
wait_line "Score posted: $golden_score on normal, world rank 1" 20
[ -e "$work/unposted/game-1.vxr" ] && fail "the posted replay still waits in unposted/"

# --- The globe sits right of the medal; it opens the World box with the board's list.
shot "$shots/world-menu.png"
[ "$(difference "$shots/world-none.png" "$shots/world-menu.png" 48x48+80+144)" -gt 300 ] ||
  fail "no globe right of the medal"
click_at 104 168
sleep 1
shot "$shots/world-box.png"
# The normal column's first row ("1.  <score> -") in white, where the menu showed the title art.
[ "$(difference "$shots/world-menu.png" "$shots/world-box.png" 150x20+218+64)" -gt 100 ] ||
  fail "the World box shows no row in the normal column"

# --- A name typed on the name line is kept beside the record.
click_at 200 358
sleep 0.3
xdotool type --delay 60 "Tester 1"
xdotool key Return
sleep 0.5
[ "$(cat "$work/player-name" 2>/dev/null)" = "Tester 1" ] ||
  fail "the name was not kept: $(cat "$work/player-name" 2>&1)"
xdotool key Escape
sleep 0.5

# --- A game by hand, as replays.sh plays it: posted as it ends, with the name, scored as
# --verify scores its kept replay.
play_hard_and_quit fire
wait_line "Score posted: [0-9]* on hard" 30
close_game
[ "$closed_status" = 0 ] || fail "closing ended with status $closed_status"
kept=$(ls "$work"/replays/game-*.vxr | tail -n1)
verified=$(cd "$work" && "$VEXMO_EXE" --verify "$kept" | awk '{print $2}')
grep -q "Score posted: $verified on hard, world rank 1" "$work/out.txt" ||
  fail "the board's score differs from --verify's $verified: $(grep 'Score posted' "$work/out.txt")"
top=$(curl -s "$board/v1/top?difficulty=hard")
echo "$top" | grep -q "\"name\":\"Tester 1\"" || fail "the hard list lacks the name: $top"
echo "$top" | grep -q "\"score\":$verified" || fail "the hard list lacks score $verified: $top"
ls "$work"/unposted/*.vxr >/dev/null 2>&1 && fail "a posted game still waits in unposted/"

# --- With the board down, a finished game is kept to post again.
stop_board
: >"$work/out.txt"
start_to_menu --scores "$board"
play_hard_and_quit
wait_line "Score not posted: .*(kept to post again)" 30
close_game
ls "$work"/unposted/*.vxr >/dev/null 2>&1 || fail "the unposted game was not kept"
grep -c "Score not posted" "$work/out.txt" | grep -qx 1 || fail "more than one line for one failure"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
echo "world board: ok (golden $golden_score, hand game $verified)"
