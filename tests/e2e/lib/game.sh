# shellcheck shell=bash
# Shared helpers of the end-to-end scripts (sourced; this folder is not run as a test).
# A script calls e2e_setup first: it uses the display it was given (the test command's Xvfb with
# openbox) or starts a private one, and makes a scratch working folder $work.
: "${VEXMO_EXE:?}" "${VEXMO_SOURCE_DIR:?}" "${VEXMO_BINARY_DIR:?}"

game_pid=""
wid=""
_e2e_own_x=""

e2e_cleanup() {
  stop_game
  [ -n "$_e2e_own_x" ] && vexmo_xvfb_stop
  [ -n "${work:-}" ] && rm -rf "$work"
  return 0
}

# Ends a game still running without waiting on it for ever: a polite signal first, then a kill.
stop_game() {
  [ -n "$game_pid" ] || return 0
  if kill -0 "$game_pid" 2>/dev/null; then
    # A tracer in between (strace) outlives its signal while the game runs: the game goes first.
    pkill -P "$game_pid" 2>/dev/null || true
    kill "$game_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
    pkill -KILL -P "$game_pid" 2>/dev/null || true
    kill -KILL "$game_pid" 2>/dev/null || true
  fi
  wait "$game_pid" 2>/dev/null || true
  game_pid=""
}

fail() {
  echo "FAIL: $*" >&2
  [ -f "${work:-}/out.txt" ] && { echo "--- game output (last lines):" >&2; tail -n 20 "$work/out.txt" >&2; }
  exit 1
}

# e2e_setup [data]: data is "link" (the build's data folder, default) or "none".
e2e_setup() {
  trap e2e_cleanup EXIT
  if [ -z "${DISPLAY:-}" ]; then
    . "$VEXMO_SOURCE_DIR/scripts/xvfb-env.sh"
    WITH_WM=1 vexmo_xvfb_start
    _e2e_own_x=1
  fi
  export LIBGL_ALWAYS_SOFTWARE=1
  export ALSOFT_DRIVERS="${ALSOFT_DRIVERS:-null}"
  # The GL driver is unloaded when the window system shuts down, so the blocks it keeps until
  # exit cannot be traced to a library any more; leak checks of our code are the unit tests'.
  export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
  _e2e_wait_for_no_game_windows
  work=$(mktemp -d)
  # A game that keeps its record in the player's folder (no ./data) never writes the real one.
  export XDG_DATA_HOME="$work/.xdg-data"
  if [ "${1:-link}" = link ]; then ln -s "$VEXMO_BINARY_DIR/data" "$work/data"; fi
  shots="$VEXMO_BINARY_DIR/e2e-shots"
  mkdir -p "$shots"
}

have_wm() { xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; }

# A game of an earlier script may still be closing on a shared display; its window must not be
# mistaken for this script's (it would vanish under a later xdotool or import call).
_e2e_wait_for_no_game_windows() {
  for _ in $(seq 100); do
    [ -z "$(xdotool search --name '^Vexmo$' 2>/dev/null || true)" ] && return 0
    sleep 0.1
  done
  echo "note: a window titled Vexmo from elsewhere is still open; windows are told apart by process" >&2
}

# e2e_start [options...]: the game in $work, output appended to $work/out.txt; sets game_pid and
# wid. With E2E_TRACE_OPENS=FILE the game runs under strace, which logs every file it opens.
e2e_start() {
  if [ -n "${E2E_TRACE_OPENS:-}" ]; then
    (cd "$work" && exec strace -f -qq -e trace=openat -o "$E2E_TRACE_OPENS" "$VEXMO_EXE" "$@" >>"$work/out.txt" 2>&1) &
  else
    (cd "$work" && exec "$VEXMO_EXE" "$@" >>"$work/out.txt" 2>&1) &
  fi
  game_pid=$!
  wid=""
  for _ in $(seq 300); do
    wid=$(_e2e_window_of "$game_pid")
    [ -n "$wid" ] && return 0
    kill -0 "$game_pid" 2>/dev/null || fail "the game ended before its window appeared"
    sleep 0.05
  done
  fail "no window titled Vexmo"
}

# The visible Vexmo window of a process, or of its children (the game under a tracer).
_e2e_window_of() {
  local pid found
  for pid in "$1" $(pgrep -P "$1" 2>/dev/null || true); do
    found=$(xdotool search --onlyvisible --pid "$pid" --name '^Vexmo$' 2>/dev/null | head -n1 || true)
    [ -n "$found" ] && { echo "$found"; return 0; }
  done
  return 0
}

# Starts the game and waits until its menu is in place.
start_to_menu() {
  e2e_start "$@"
  wait_for_menu
}

alive() { kill -0 "$game_pid" 2>/dev/null || fail "the game died: $1"; }

# Waits until the game has loaded and the menu has slid in. A sanitizer build loads slower.
wait_for_menu() {
  local seconds=2.5
  ldd "$VEXMO_EXE" 2>/dev/null | grep -q libasan && seconds=5
  sleep "${VEXMO_MENU_WAIT:-$seconds}"
  alive "while loading"
}

# A press held for a few updates, as a hand clicks (the game samples once per update).
click_at() {
  xdotool mousemove --window "$wid" "$1" "$2" mousedown 1
  sleep 0.15
  xdotool mouseup 1
}

shot() { import -window "$wid" "$1"; }

# A short game by hand from the menu: hard, then (with "fire") a second's fire toward the top,
# then quit through the pause menu. The game is over once its overlay has passed.
play_hard_and_quit() {
  click_at 384 336
  sleep 3
  if [ "${1:-}" = fire ]; then
    xdotool mousemove --window "$wid" 320 60 mousedown 1
    sleep 1
    xdotool mouseup 1
  fi
  xdotool keydown Escape
  sleep 0.15
  xdotool keyup Escape
  sleep 0.8
  click_at 180 184
}
# Distinct colours in a picture: a blank window has very few.
colours() { /usr/bin/convert "$1" -format '%k' info:; }
# Pixels that differ between two pictures (optionally within a WxH+X+Y region), 0 if identical.
difference() {
  if [ -n "${3:-}" ]; then
    /usr/bin/convert "$1" -crop "$3" +repage "$work/crop-a.png"
    /usr/bin/convert "$2" -crop "$3" +repage "$work/crop-b.png"
    set -- "$work/crop-a.png" "$work/crop-b.png"
  fi
  /usr/bin/compare -metric AE "$1" "$2" null: 2>&1 || true
}
# "r g b" of one pixel.
pixel() {
  /usr/bin/convert "$1" -format "%[fx:int(255*p{$2,$3}.r+0.5)] %[fx:int(255*p{$2,$3}.g+0.5)] %[fx:int(255*p{$2,$3}.b+0.5)]" info:
}

# Mean "r g b" (0..255) of a WxH+X+Y region.
mean_colour() {
  /usr/bin/convert "$1" -crop "$2" +repage -format "%[fx:int(255*mean.r+0.5)] %[fx:int(255*mean.g+0.5)] %[fx:int(255*mean.b+0.5)]" info:
}

# Asks the window to close as a user does and waits for the game; its exit status is left in
# $closed_status (not printed: waiting needs this shell, not a command substitution's).
close_game() {
  closed_status=0
  if have_wm; then
    for _ in $(seq 10); do
      xdotool windowactivate --sync "$wid" >/dev/null 2>&1 || true
      xdotool key --clearmodifiers alt+F4 >/dev/null 2>&1 || true
      for _ in $(seq 20); do kill -0 "$game_pid" 2>/dev/null || break 2; sleep 0.1; done
    done
  else
    xdotool windowclose "$wid" >/dev/null 2>&1 || true
    for _ in $(seq 50); do kill -0 "$game_pid" 2>/dev/null || break; sleep 0.1; done
  fi
  if kill -0 "$game_pid" 2>/dev/null; then
    stop_game
    fail "the game did not end on a close request"
  fi
  wait "$game_pid" || closed_status=$?
  game_pid=""
}

# Closes the game as a user does and insists on a clean exit (status 0).
close_cleanly() {
  close_game
  [ "$closed_status" = 0 ] || fail "the game ended with status $closed_status"
}

# The saved record: 98 decimal fields, each followed by "|", whose five checksums agree.
# Prints "ok" or what is wrong.
check_state_file() {
  [ -s "$1" ] || { echo "missing or empty"; return; }
  awk -v RS='\0' '
    function wrap(v) { v = v % 4294967296; if (v < 0) v += 4294967296; return v }
    {
      sub(/\n$/, "")
      n = split($0, f, "|")
      bad = n != 99 || f[99] != ""
      for (i = 1; i < n && !bad; i++) bad = f[i] !~ /^-?[0-9]+$/
      if (bad) { print "not 98 integer fields: " substr($0, 1, 80); exit }
      s = 0; for (i = 0; i < 25; i++) s = wrap(s + i * f[i + 1])
      if (s != wrap(f[26])) { print "settings checksum"; exit }
      s = 0; for (i = 27; i <= 34; i++) s = wrap(s + f[i])
      if (s != wrap(f[35])) { print "badge checksum"; exit }
      for (t = 0; t < 3; t++) {
        s = 0; b = 36 + 21 * t
        for (k = 0; k < 10; k++) s = wrap(s + (k + 4) * f[b + 2 * k] + (t + k + 3) * f[b + 2 * k + 1])
        if (s != wrap(f[b + 20])) { print "score table " t " checksum"; exit }
      }
      print "ok"
    }' "$1"
}

# Recent scores of a difficulty (1..3) from the saved record, newest first.
recent_scores() {
  awk -v RS='\0' -v t="$(($2 - 1))" '{ split($0, f, "|"); b = 36 + 21 * t
    for (k = 0; k < 10; k++) printf "%s ", f[b + 2 * k + 1]; print "" }' "$1"
}
