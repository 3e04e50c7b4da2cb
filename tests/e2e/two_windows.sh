#!/usr/bin/env bash
# Two windows on one record: the first window was started before the second one's game was
# saved; closing the first (which saves) keeps that game, and its own settings are the ones
# kept. The second window's later save keeps its own settings and every score.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup
have_wm || fail "closing the window needs a window manager"

# A record with valid checksums from fields 0..97 given as "index=value" pairs over the defaults.
make_record() {
  awk -v pairs="$*" 'BEGIN {
    for (i = 0; i < 98; i++) f[i] = 0
    f[5] = 1; f[10] = 64; f[11] = 64; f[12] = 10
    n = split(pairs, p, " ")
    for (i = 1; i <= n; i++) { split(p[i], kv, "="); f[kv[1]] = kv[2] }
    s = 0; for (i = 0; i < 25; i++) s += i * f[i]; f[25] = s
    s = 0; for (i = 26; i < 34; i++) s += f[i]; f[34] = s
    for (t = 0; t < 3; t++) { b = 35 + 21 * t; s = 0
      for (k = 0; k < 10; k++) s += (k + 4) * f[b + 2 * k] + (t + k + 3) * f[b + 2 * k + 1]
      f[b + 20] = s }
    for (i = 0; i < 98; i++) printf "%d|", f[i]
  }'
}
field() { tr '|' '\n' <"$work/.vantorstate" | sed -n "$(($1 + 1))p"; }

# Both windows read a record holding one game of 900 on difficulty 2 (fields 56 and 57).
make_record 56=900 57=900 >"$work/.vantorstate"
start_to_menu
first_pid=$game_pid
first_wid=$wid
# The second window finished a game of 1709 and saved it, with sound mode 3.
make_record 5=3 56=1709 57=1709 58=900 59=900 >"$work/.vantorstate"

close_cleanly
[ "$(check_state_file "$work/.vantorstate")" = ok ] || fail "record: $(check_state_file "$work/.vantorstate")"
[ "$(field 56) $(field 58)" = "1709 900" ] || fail "best list after the first window's save: $(field 56) $(field 58)"
[ "$(field 57) $(field 59)" = "1709 900" ] || fail "last list after the first window's save: $(field 57) $(field 59)"
[ "$(field 5)" = 1 ] || fail "the saving window's sound mode is $(field 5), not 1"
[ -e "$work/.vantorstate.lock" ] || fail "no lock file beside the record"

# A window started now shows both games: its menu reads the merged record.
start_to_menu
grep -q "Highscore 1 Loaded" "$work/out.txt" || fail "the merged record did not load"
close_cleanly
[ "$(field 56) $(field 58)" = "1709 900" ] || fail "best list after a second save: $(field 56) $(field 58)"
: "$first_pid" "$first_wid"
echo "two_windows: ok"
