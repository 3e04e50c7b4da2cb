#!/usr/bin/env bash
# The installed game: cmake --install into a scratch prefix puts the program, its data folder,
# the desktop entry and the icons in place; the program started from a folder without data finds
# its data under the prefix, shows the menu, keeps its record in $XDG_DATA_HOME/vexmo (never in
# the working folder) and loads it at the next start. Then the fallbacks: no XDG_DATA_HOME
# (~/.local/share/vexmo), neither it nor HOME (the game runs and saves nothing), a relative HOME
# (ignored with one line), a player's own folder named "data" where the game is started (passed
# over: the installed data and the record are used), and a record folder that cannot be made (the
# save fails with a message, the game ends normally).
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup none
have_wm || fail "closing the window needs a window manager"
base=$work
trap 'e2e_cleanup; rm -rf "$base"' EXIT
prefix=$base/prefix
xdg=$base/xdg
home=$base/home
work=$base/play # the game's working folder: nothing but the log this script keeps there
mkdir -p "$work" "$home"

# ---- Installing ----
cmake --install "$VEXMO_BINARY_DIR" --prefix "$prefix" >"$base/install.log" ||
  { cat "$base/install.log" >&2; fail "cmake --install failed"; }
echo "installed $(grep -c Installing "$base/install.log") files into the prefix"
[ -x "$prefix/bin/vexmo" ] || fail "no bin/vexmo"
[ -s "$prefix/share/vexmo/data/pelto_font.png" ] || fail "no data folder under share/vexmo"
[ ! -e "$prefix/share/vexmo/data/.stamp" ] || fail "the build's stamp file was installed"
[ "$(head -n1 "$prefix/share/vexmo/data/vexmo-data.stamp")" = "vexmo data" ] ||
  fail "the data folder's stamp was not installed"
entry=$prefix/share/applications/vexmo.desktop
[ -f "$entry" ] || fail "no desktop entry"
desktop-file-validate "$entry" || fail "desktop-file-validate rejects $entry"
grep -qx "Exec=$prefix/bin/vexmo" "$entry" || fail "the entry does not start the installed program"
grep -qx "Icon=vexmo" "$entry" || fail "the entry names no icon"
for n in 16 32 48 64 128 256; do
  icon=$prefix/share/icons/hicolor/${n}x${n}/apps/vexmo.png
  [ "$(/usr/bin/identify -format '%wx%h' "$icon")" = "${n}x${n}" ] || fail "icon $icon is not ${n}x${n}"
  # The picture itself, not a blank square: several colours, and see-through corners.
  [ "$(colours "$icon")" -gt 8 ] || fail "icon $n holds almost nothing"
  [ "$(/usr/bin/convert "$icon" -format '%[fx:int(255*p{0,0}.a)]' info:)" = 0 ] ||
    fail "icon $n has an opaque corner"
done
echo "desktop entry valid, icons at 16 to 256"
VEXMO_EXE=$prefix/bin/vexmo
# A sanitizer build loads slower; the wait is set here as one start below goes through env.
menu_wait=2.5
ldd "$VEXMO_EXE" 2>/dev/null | grep -q libasan && menu_wait=5
export VEXMO_MENU_WAIT=${VEXMO_MENU_WAIT:-$menu_wait}

# ---- First start, from a folder without data ----
export XDG_DATA_HOME=$xdg HOME=$home
(cd "$work" && "$VEXMO_EXE" --help) >"$base/help.txt"
grep -q "in use: $prefix/share/vexmo/data" "$base/help.txt" || fail "--help: $(cat "$base/help.txt")"
grep -q "Saved record: $xdg/vexmo/.vantorstate" "$base/help.txt" || fail "--help: $(cat "$base/help.txt")"
start_to_menu
shot "$shots/installed_menu.png"
# The menu as drawn from the installed data: its deep blue backdrop in the corner, the three
# difficulty buttons (green, orange, red) at 20%, 40% and 60% of the width, 70% of the height.
read -r r g b <<<"$(mean_colour "$shots/installed_menu.png" 20x20+2+2)"
[ "$b" -gt $((r + 30)) ] && [ "$b" -gt "$g" ] || fail "no blue menu backdrop: $r $g $b"
read -r r g b <<<"$(mean_colour "$shots/installed_menu.png" 30x10+113+340)"
[ "$g" -gt $((r + 40)) ] && [ "$g" -gt $((b + 40)) ] || fail "no green button: $r $g $b"
read -r r g b <<<"$(mean_colour "$shots/installed_menu.png" 30x10+369+340)"
[ "$r" -gt $((g + 60)) ] && [ "$r" -gt $((b + 60)) ] || fail "no red button: $r $g $b"
[ "$(colours "$shots/installed_menu.png")" -gt 500 ] || fail "the menu is nearly blank"
grep -q "No data folder" "$work/out.txt" && fail "the installed data was not found"
close_cleanly
[ "$(check_state_file "$xdg/vexmo/.vantorstate")" = ok ] ||
  fail "record under XDG_DATA_HOME: $(check_state_file "$xdg/vexmo/.vantorstate")"
[ "$(stat -c %a "$xdg/vexmo")" = 700 ] || fail "the record's folder is open to others"
[ "$(ls -A "$work")" = out.txt ] || fail "the working folder got files: $(ls -A "$work")"
[ -z "$(ls -A "$home")" ] || fail "HOME was written although XDG_DATA_HOME is set"
echo "first start: menu shown, record written to $xdg/vexmo/.vantorstate"

# ---- Second start: the record is loaded ----
: >"$work/out.txt"
start_to_menu
for line in "Settings Loaded" "Badges Loaded" "Highscore 0 Loaded" "Highscore 1 Loaded" \
  "Highscore 2 Loaded"; do
  grep -q "$line" "$work/out.txt" || fail "no \"$line\" at the second start"
done
close_cleanly
echo "second start: $(grep -c Loaded "$work/out.txt") blocks loaded"

# ---- No XDG_DATA_HOME: ~/.local/share/vexmo ----
unset XDG_DATA_HOME
start_to_menu
close_cleanly
[ "$(check_state_file "$home/.local/share/vexmo/.vantorstate")" = ok ] ||
  fail "no record under HOME: $(ls -AR "$home")"
echo "without XDG_DATA_HOME: record in ~/.local/share/vexmo"

# ---- Neither XDG_DATA_HOME nor HOME: the game runs and saves nothing ----
rm -rf "$home/.local"
: >"$work/out.txt"
# Through env, which takes the game's place (same process), so the window is still found by it.
VEXMO_EXE="env" start_to_menu -u HOME "$prefix/bin/vexmo"
shot "$shots/installed_no_home.png"
close_cleanly
grep -q "Neither XDG_DATA_HOME nor HOME is set" "$work/out.txt" || fail "no message without HOME"
[ "$(colours "$shots/installed_no_home.png")" -gt 500 ] || fail "no menu without HOME"
[ -z "$(ls -A "$home")" ] && [ "$(ls -A "$work")" = out.txt ] || fail "something was saved"
echo "without HOME: the game ran, nothing was saved"

# ---- A relative HOME is ignored, as a relative XDG_DATA_HOME is ----
: >"$work/out.txt"
VEXMO_EXE="env" start_to_menu HOME=relative/home "$prefix/bin/vexmo"
close_cleanly
[ "$(grep -c "HOME is ignored: relative/home is not an absolute path" "$work/out.txt")" = 1 ] ||
  fail "no single line about the relative HOME"
[ "$(ls -A "$work")" = out.txt ] || fail "a relative HOME put files under the working folder"
echo "a relative HOME: ignored with one line"

# ---- A player's own ~/data where a desktop starts the game: passed over ----
mkdir "$work/data"
: >"$work/data/holiday.jpg"
: >"$work/out.txt"
start_to_menu
shot "$shots/installed_home_data.png"
close_cleanly
[ "$(grep -c "^Passed over ./data: it holds no vexmo-data.stamp" "$work/out.txt")" = 1 ] ||
  fail "no single line about the passed-over ./data"
grep -q "Cannot load" "$work/out.txt" && fail "the player's ./data was read for pictures"
[ "$(colours "$shots/installed_home_data.png")" -gt 500 ] || fail "no menu beside a player's ./data"
[ "$(ls -A "$work")" = "data
out.txt" ] || fail "the working folder got files: $(ls -A "$work")"
[ "$(check_state_file "$home/.local/share/vexmo/.vantorstate")" = ok ] || fail "the record was not kept"
rm -rf "$work/data"
echo "a player's ./data: passed over, the installed data and the record used"

# ---- A record folder that cannot be made: the save fails, the game ends normally ----
: >"$base/in-the-way"
: >"$work/out.txt"
export XDG_DATA_HOME=$base/in-the-way
start_to_menu
close_cleanly
grep -q "Cannot make the folder $base/in-the-way/vexmo" "$work/out.txt" ||
  fail "no message about the record's folder"
[ "$(ls -A "$work")" = out.txt ] || fail "the record went to the working folder"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
echo "installed_game: ok"
