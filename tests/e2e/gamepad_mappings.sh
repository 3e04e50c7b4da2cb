#!/usr/bin/env bash
# Extra gamepad mappings as a player adds them: a gamecontrollerdb.txt beside the data folder
# and one inside it are both read by GLFW at start-up, each reported in one line; a broken one
# is named with its first bad line, and the game starts and draws its menu either way.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup none
# A data folder of our own (links to the generated files) so a file can be put inside it.
mkdir "$work/data"
for entry in "$VEXMO_BINARY_DIR"/data/*; do ln -s "$entry" "$work/data/"; done

good="0300000011110000222200000100000a,Test Pad One,a:b0,b:b1,x:b2,y:b3,back:b6,start:b7,leftshoulder:b4,rightshoulder:b5,dpup:h0.1,dpdown:h0.4,dpleft:h0.8,dpright:h0.2,leftx:a0,lefty:a1,rightx:a3,righty:a4,lefttrigger:a2,righttrigger:a5,platform:Linux,"
printf '# made for this test\n%s\n' "$good" >"$work/data/gamecontrollerdb.txt"
printf '%s\n03000000abcd,Short GUID,a:b0,\n' "$good" >"$work/gamecontrollerdb.txt"

run() { # runs the game for 90 updates in $work; sets status
  status=0
  (cd "$work" && exec "$VEXMO_EXE" --frames 90 --screenshot "$work/menu.png" >"$work/out.txt" 2>&1) ||
    status=$?
  [ "$status" = 0 ] || fail "the game ended with status $status"
  grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
  [ "$(colours "$work/menu.png")" -gt 20 ] || fail "no menu drawn"
  return 0
}

run
grep '^Gamepad mappings' "$work/out.txt" || true
grep -qx 'Gamepad mappings from ./data/gamecontrollerdb.txt loaded (1 line)' "$work/out.txt" ||
  fail "the file inside the data folder was not reported as loaded"
grep -q '^Gamepad mappings from ./gamecontrollerdb.txt: 1 of 2 lines rejected (first at line 2: ' \
  "$work/out.txt" || fail "the bad line beside the data folder was not named"
[ "$(grep -c '^Gamepad mappings' "$work/out.txt")" = 2 ] || fail "not one line per file"

# Nothing usable at all (bytes of a picture), and a folder where the file should be: still one line each, still a game.
printf '\211PNG\r\n\032\nIHDR garbage\n0,\nff,ff\n' >"$work/gamecontrollerdb.txt"
rm "$work/data/gamecontrollerdb.txt"
mkdir "$work/data/gamecontrollerdb.txt"
run
grep '^Gamepad mappings' "$work/out.txt" || true
grep -qx 'Gamepad mappings from ./data/gamecontrollerdb.txt rejected: is a folder' "$work/out.txt" ||
  fail "a folder in place of the file was not reported"
grep -q '^Gamepad mappings from ./gamecontrollerdb.txt rejected: ' "$work/out.txt" ||
  fail "a file of noise was not reported as rejected"

echo "gamepad_mappings: ok"
