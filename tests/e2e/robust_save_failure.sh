#!/usr/bin/env bash
# The game in a read-only folder: minimising it saves, the save fails, the console says why,
# the menu shows "Scores are not being saved", and the old record stays byte for byte.
# A read-only tmpfs is used where mounting is allowed (in a private mount namespace), otherwise
# a folder of mode 0555 with the game run as user nobody (or as the non-root user running this).
set -euo pipefail
if [ -z "${VEXMO_E2E_PRIVATE_MOUNTS:-}" ] && [ "$(id -u)" = 0 ] &&
  unshare -m --propagation private true 2>/dev/null; then
  VEXMO_E2E_PRIVATE_MOUNTS=1 exec unshare -m --propagation private bash "$0" "$@"
fi
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup none
home="$work/home"
mkdir "$home"
run_as=()
if [ -n "${VEXMO_E2E_PRIVATE_MOUNTS:-}" ] && mount -t tmpfs -o size=1m tmpfs "$home" 2>/dev/null; then
  condition="a read-only tmpfs"
  reason="Read-only file system"
  # Unmounted before the scratch folder is removed, also when a check fails.
  trap 'umount "$home" 2>/dev/null; e2e_cleanup' EXIT
else
  condition="a folder of mode 0555"
  reason="Permission denied"
  if [ "$(id -u)" = 0 ]; then
    condition="$condition, the game run as nobody"
    run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups)
    chmod 0755 "$work"
  fi
fi
echo "condition: $condition"
ln -s "$VEXMO_BINARY_DIR/data" "$home/data"
printf '0|0|0|0|0|1|an old record kept as it was|' >"$home/.vantorstate"
cp "$home/.vantorstate" "$work/old-record"
if [ "$condition" = "a read-only tmpfs" ]; then
  mount -o remount,ro "$home"
else
  chmod 0555 "$home"
fi

(cd "$home" && exec "${run_as[@]}" "$VEXMO_EXE" >>"$work/out.txt" 2>&1) &
game_pid=$!
for _ in $(seq 300); do
  wid=$(_e2e_window_of "$game_pid")
  [ -n "$wid" ] && break
  kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window appeared"
  sleep 0.05
done
[ -n "$wid" ] || fail "no window titled Vexmo"
wait_for_menu
shot "$work/before.png"
grep -q "^Save failed" "$work/out.txt" && fail "a save failed before any save was asked for"

# Minimising suspends the game, which saves.
xdotool windowminimize "$wid"
for _ in $(seq 50); do grep -q "^Save failed" "$work/out.txt" && break; sleep 0.1; done
xdotool windowactivate "$wid" >/dev/null 2>&1 || xdotool windowmap "$wid"
sleep 1.5
shot "$shots/robust-save-failure-menu.png"
grep -qxF "Save failed: $reason" "$work/out.txt" || fail "no line \"Save failed: $reason\""
# The notice sits in the score panel between the two lists.
changed=$(difference "$work/before.png" "$shots/robust-save-failure-menu.png" 140x16+500+234)
[ "${changed%%.*}" -gt 40 ] || fail "no notice under the score lists ($changed pixels changed)"
outside=$(difference "$work/before.png" "$shots/robust-save-failure-menu.png" 140x150+500+60)
[ "${outside%%.*}" -lt 20 ] || fail "the score list itself changed ($outside pixels)"
close_game
[ "$closed_status" = 0 ] || fail "closing ended with status $closed_status"
cmp "$work/old-record" "$home/.vantorstate" || fail "the old record changed"
[ "$(ls -A "$home" | sort | tr '\n' ' ')" = ".vantorstate data " ] || fail "left behind: $(ls -A "$home")"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
echo "robust_save_failure: ok ($condition)"
