#!/usr/bin/env bash
# A saved record that is no record: a link to /dev/zero, a named pipe, a folder, a 50 MB file.
# Each is ignored with one line saying why, and the window opens within the usual time and
# without the memory growing (reading /dev/zero to its end would never open it).
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
# Peak memory allowed, in KiB: far above the game's own (about 150 MB under a sanitizer) and far
# below what an unbounded read reaches in the seconds the window is waited for.
limit_kib=$((1024 * 1024))
one_case() { # what, the expected line
  rm -rf "$work/.vantorstate"
  case "$1" in
    zero) ln -s /dev/zero "$work/.vantorstate" ;;
    pipe) mkfifo "$work/.vantorstate" ;;
    folder) mkdir "$work/.vantorstate" ;;
    huge) truncate -s 50M "$work/.vantorstate" ;;
  esac
  : >"$work/out.txt"
  e2e_start  # fails when no window appears within 15 s
  local peak
  peak=$(awk '/^VmHWM/ { print $2 }' "/proc/$game_pid/status")
  [ "$peak" -lt "$limit_kib" ] || fail "$1: $peak KiB of memory at the window's opening"
  for _ in $(seq 50); do grep -qxF "$2" "$work/out.txt" && break; sleep 0.1; done
  grep -qxF "$2" "$work/out.txt" || fail "$1: no line \"$2\""
  stop_game
  echo "$1: window open, peak $peak KiB"
}
one_case zero "Saved record ignored: .vantorstate is a device"
one_case pipe "Saved record ignored: .vantorstate is a named pipe"
one_case folder "Saved record ignored: .vantorstate is a folder"
one_case huge "Saved record ignored: .vantorstate is larger than 1 MiB"
echo "robust_state_special: ok"
