#!/usr/bin/env bash
# A saved record of random bytes: every damaged block is reset, the game runs, and closing
# leaves a valid record again.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
head -c 4096 /dev/urandom >"$work/.vantorstate"
e2e_start
wait_for_menu
shot "$shots/robust-state-noise.png"
[ "$(colours "$shots/robust-state-noise.png")" -gt 20 ] || fail "no menu after a noisy record"
close_game
[ "$closed_status" = 0 ] || fail "closing ended with status $closed_status"
verdict=$(check_state_file "$work/.vantorstate")
[ "$verdict" = ok ] || fail "the record after closing: $verdict"
# Random bytes cannot carry a checksum that matches: the score tables are all reset to zero.
for level in 1 2 3; do
  [ "$(recent_scores "$work/.vantorstate" $level)" = "0 0 0 0 0 0 0 0 0 0 " ] ||
    fail "table $level was not reset: $(recent_scores "$work/.vantorstate" $level)"
done
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
echo "robust_state_noise: ok"
