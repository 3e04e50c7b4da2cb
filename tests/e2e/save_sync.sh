#!/usr/bin/env bash
# Closing saves the record through a synced temporary renamed over it, then syncs the folder,
# so a power cut right after cannot undo the rename.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
command -v strace >/dev/null || fail "strace is missing (scripts/deps.sh installs it)"
(cd "$work" && exec strace -f -qq -e trace=openat,fsync,rename,renameat,renameat2 \
  -o "$work/trace.txt" "$VEXMO_EXE" >>"$work/out.txt" 2>&1) &
game_pid=$!
for _ in $(seq 300); do
  wid=$(_e2e_window_of "$game_pid")
  [ -n "$wid" ] && break
  sleep 0.05
done
[ -n "$wid" ] || fail "no window titled Vexmo"
wait_for_menu
close_game
[ "$(check_state_file "$work/.vantorstate")" = ok ] || fail "no valid record after closing"
# In order: the temporary opened (fd T), T synced, the rename, the folder opened (fd D), D synced.
verdict=$(awk '
  /openat\(.*"\.vantorstate\.[0-9]+\.tmp"/ { match($0, /= [0-9]+$/); tmp = substr($0, RSTART + 2); step = 1; next }
  step == 1 && $0 ~ "fsync\\(" tmp "\\) += 0" { step = 2; next }
  step == 2 && /rename.*"\.vantorstate\.[0-9]+\.tmp".*"\.vantorstate"/ { step = 3; next }
  step == 3 && /openat\(.*"\.".*O_DIRECTORY/ { match($0, /= [0-9]+$/); dir = substr($0, RSTART + 2); step = 4; next }
  step == 4 && $0 ~ "fsync\\(" dir "\\) += 0" { step = 5 }
  END { print step + 0 }' "$work/trace.txt")
[ "$verdict" = 5 ] || { grep -E 'vantorstate|O_DIRECTORY|fsync' "$work/trace.txt" | tail -n 12 >&2; fail "the save stopped at step $verdict of 5"; }
echo "save_sync: ok"
