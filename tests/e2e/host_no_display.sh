#!/usr/bin/env bash
# Without a display the program reports that the window system failed and exits with -1.
set -uo pipefail
: "${VEXMO_EXE:?}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
out=$(env -u DISPLAY -u WAYLAND_DISPLAY ALSOFT_DRIVERS=null "$VEXMO_EXE" 2>/dev/null)
status=$?
echo "status $status, output: $out"
[ "$status" = 255 ] || { echo "expected status 255"; exit 1; }
case "$out" in
  *"glfwInit failed"* | *"glfwOpenWindow failed"*) ;;
  *) echo "expected a start-up failure message"; exit 1 ;;
esac
[ ! -e "$work/.vantorstate" ] || { echo "a failed start must not write the state file"; exit 1; }
