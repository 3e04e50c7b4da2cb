#!/usr/bin/env bash
# Replays through the real program: the golden games verify to their scores without a window; a
# damaged or foreign file is refused with one line and exit 1; a game played by hand in a real
# window leaves its replay beside the record and in --record's folder, verifies, and plays back
# with --replay on its own to the end without touching the record.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
golden="$VEXMO_SOURCE_DIR/tests/game/golden"

for f in "$golden"/*.vxr; do
  out=$(cd "$work" && "$VEXMO_EXE" --verify "$f") || fail "golden $f did not verify: $out"
  [[ "$out" =~ ^score\ [0-9]+\ difficulty\ [1-3]\ rounds\ [0-9]+\ updates\ [0-9]+$ ]] ||
    fail "verify printed \"$out\""
done
head -c 300 "$golden/hard.vxr" >"$work/cut.vxr"
for bad in "$work/cut.vxr" /dev/null "$VEXMO_SOURCE_DIR/README.md"; do
  set +e
  out=$(cd "$work" && timeout 10 "$VEXMO_EXE" --verify "$bad")
  status=$?
  set -e
  [ "$status" = 1 ] || fail "verifying $bad ended with $status"
  [ "$(printf '%s\n' "$out" | wc -l)" = 1 ] || fail "verifying $bad printed \"$out\""
done

# A game by hand, as play_game.sh plays it, recorded.
start_to_menu --record "$work/recorded"
play_hard_and_quit fire
sleep 3.5
close_game
[ "$closed_status" = 0 ] || fail "closing ended with status $closed_status"
copy=$(ls "$work"/recorded/game-*.vxr 2>/dev/null | head -n1)
[ -n "$copy" ] || fail "no replay in --record's folder: $(ls -la "$work" "$work/recorded" 2>&1)"
ls "$work"/replays/game-*.vxr >/dev/null 2>&1 || fail "no replay kept beside the record"
[ -f "$work/replays/best-hard.vxr" ] || fail "no best replay of the hard difficulty"
out=$(cd "$work" && "$VEXMO_EXE" --verify "$copy") || fail "the game's replay did not verify: $out"
echo "recorded game: $out, $(stat -c %s "$copy") bytes"

# Watching it plays to the end and exits by itself; the record stays as it was.
before=$(md5sum "$work/.vantorstate")
e2e_start --replay "$copy"
sleep 2
shot "$shots/replay-watch.png"
[ "$(colours "$shots/replay-watch.png")" -gt 20 ] || fail "the replay shows nothing"
for _ in $(seq 200); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
kill -0 "$game_pid" 2>/dev/null && fail "the replay did not end by itself"
wait "$game_pid" || fail "watching ended with status $?"
game_pid=""
[ "$(md5sum "$work/.vantorstate")" = "$before" ] || fail "watching changed the saved record"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
echo "replays: ok"
