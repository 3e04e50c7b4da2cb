#!/usr/bin/env bash
# The binary's options as a user meets them: --help and --version, a wrong option refused with
# the usage and status 2, and a short autopilot run that starts a game by itself, ends after the
# asked number of updates with status 0 and leaves a screenshot of its last frame, reading the
# player's record but leaving it untouched unless --demo-saves says otherwise.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup

out=$("$VEXMO_EXE" --help) || fail "--help failed"
case "$out" in *"Usage: "*"--demo"*"--demo-saves"*"--frames N"*"--screenshot FILE"*) ;; *) fail "--help: $out" ;; esac
"$VEXMO_EXE" --version | grep -qE '^vexmo [0-9]+\.[0-9]+\.[0-9]+$' || fail "--version"

status=0
"$VEXMO_EXE" --no-such-option >"$work/stdout" 2>"$work/stderr" || status=$?
[ "$status" = 2 ] || fail "an unknown option ended with $status, not 2"
grep -q 'Usage: ' "$work/stderr" || fail "no usage on standard error for an unknown option"
[ ! -s "$work/stdout" ] || fail "an unknown option printed on standard output"
status=0
"$VEXMO_EXE" --frames soon 2>/dev/null || status=$?
[ "$status" = 2 ] || fail "--frames soon ended with $status"

# A player's record, which the demo reads but must leave exactly as it was: sound mode 2.
record="0|0|0|0|0|2|$(printf '0|%.0s' $(seq 19))10|$(printf '0|%.0s' $(seq 9))"
for _ in 1 2 3; do record="$record$(printf '0|%.0s' $(seq 21))"; done
printf '%s' "$record" >"$work/.vantorstate"
cp "$work/.vantorstate" "$work/record.before"

# 40 updates of loading and menu, a glide and a click, then play: 420 updates is 7 seconds.
status=0
(cd "$work" && exec "$VEXMO_EXE" --demo --frames 420 --screenshot "$work/demo.png" >"$work/out.txt" 2>&1) ||
  status=$?
[ "$status" = 0 ] || fail "the demo ended with status $status"
grep -E '^demo: ' "$work/out.txt" || true
grep -q '^demo: 1 games started' "$work/out.txt" || fail "the autopilot did not start a game"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
[ -f "$work/demo.png" ] || fail "no screenshot written"
size=$(/usr/bin/identify -format '%wx%h' "$work/demo.png")
[ "$size" = 640x480 ] || fail "screenshot is $size"
cp "$work/demo.png" "$shots/demo-last-frame.png"
# The last frame is play: the dish's dark blue fills the middle, and the picture is not blank.
[ "$(colours "$work/demo.png")" -gt 20 ] || fail "the screenshot is (nearly) blank"
read -r r g b <<<"$(pixel "$work/demo.png" 320 150)"
[ "$b" -gt 60 ] && [ "$r" -lt 60 ] || fail "no dish in the upper middle of the last frame: $r $g $b"
grep -q '^Settings Loaded' "$work/out.txt" || fail "the demo did not read the record"
grep -q '^demo: the saved record is read, not written' "$work/out.txt" || fail "no word on the record"
cmp -s "$work/.vantorstate" "$work/record.before" || fail "the demo wrote into the player's record"

# With --demo-saves (for tests that need the demo's scores and badges) the record is written.
(cd "$work" && exec "$VEXMO_EXE" --demo --demo-saves --frames 60 >"$work/out2.txt" 2>&1) ||
  fail "the demo with --demo-saves failed"
cmp -s "$work/.vantorstate" "$work/record.before" && fail "--demo-saves saved nothing"
[ "$(check_state_file "$work/.vantorstate")" = ok ] || fail "record: $(check_state_file "$work/.vantorstate")"
echo "demo_options: ok"
