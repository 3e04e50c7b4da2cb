#!/usr/bin/env bash
# A data folder with damaged files: images and sounds cut short mid-file, among them the menu's
# picture, the ship's sheet and several effects the menu and play use, named pipes in place of a
# picture and a sound (which once hung the game for good) and a sound far past its size cap.
# Nothing crashes or hangs; the game is played and closed.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup none
cp -rL "$VEXMO_BINARY_DIR/data" "$work/data"
cut_short() { # file, bytes to keep
  [ -f "$1" ] || fail "no $1 in the data folder"
  truncate -s "$2" "$1"
}
# A 640x480 window uses the "-hd" images.
cut_short "$work/data/menu-hd.png" 300         # inside the first image data chunk
cut_short "$work/data/gfx-hd.png" 60           # inside the header chunk
cut_short "$work/data/microbes-hd.png" 8       # just the signature
cut_short "$work/data/common/Buttons-hd.png" 2000
cut_short "$work/data/sfx/098.wav" 100         # inside the data chunk
cut_short "$work/data/sfx/013.wav" 30          # inside the format chunk
cut_short "$work/data/sfx/001.wav" 0           # empty
pipe_in_place() { rm -f "$1" && mkfifo "$1"; }
pipe_in_place "$work/data/circle-hd.png"
pipe_in_place "$work/data/sfx/002.wav"
truncate -s 600M "$work/data/sfx/003.wav"      # a valid header, then half a gigabyte
e2e_start
wait_for_menu
shot "$shots/robust-damaged-menu.png"
click_at 256 336
sleep 3
xdotool mousemove --window "$wid" 320 40 mousedown 1
sleep 1
xdotool mouseup 1
alive "playing with damaged files"
shot "$shots/robust-damaged-play.png"
close_game
[ "$closed_status" = 0 ] || fail "closing ended with status $closed_status"
grep -q "Runtime Error" "$work/out.txt" && fail "runtime error"
# Each damaged file is named once, with the reason, and no intact file is.
said_once() { # file, reason
  local count
  count=$(grep -c "^Cannot load data/$1: " "$work/out.txt" || true)
  [ "$count" = 1 ] || fail "data/$1 was named $count times"
  grep -qF "Cannot load data/$1: $2" "$work/out.txt" || fail "no reason \"$2\" for data/$1"
}
said_once menu-hd.png "not a picture that can be decoded ("
said_once gfx-hd.png "not a picture that can be decoded ("
said_once microbes-hd.png "not a picture that can be decoded ("
said_once common/Buttons-hd.png "not a picture that can be decoded ("
said_once sfx/098.wav "data chunk cut short"
said_once sfx/013.wav "format chunk cut short"
said_once sfx/001.wav "not a RIFF file"
said_once circle-hd.png "is a named pipe"
said_once sfx/002.wav "is a named pipe"
said_once sfx/003.wav "is larger than 8 MiB"
[ "$(grep -c '^Cannot load ' "$work/out.txt")" = 10 ] || fail "an intact file was named too"
echo "robust_damaged_files: ok"
