#!/usr/bin/env bash
# A screenshot that cannot be written is a failure the caller sees: onto /dev/full, into a
# folder where nothing can be created and onto a full disk the game prints "Screenshot failed:
# <reason>", ends with a non-zero status and leaves no file, whole or partial.
set -euo pipefail
. "$VEXMO_SOURCE_DIR/tests/e2e/lib/game.sh"
e2e_setup

shoot() { # path; sets status
  status=0
  (cd "$work" && exec "$VEXMO_EXE" --frames 20 --screenshot "$1" >"$work/out.txt" 2>&1) || status=$?
}
failed_cleanly() { # path, what
  [ "$status" != 0 ] || fail "$2: the game ended with status 0"
  grep -q '^Screenshot failed: ' "$work/out.txt" || fail "$2: no \"Screenshot failed\" line"
}

shoot /dev/full
failed_cleanly /dev/full "onto /dev/full"
[ -c /dev/full ] || fail "/dev/full is no longer a device"
ls -a /dev | grep -q '^\.full\.' && fail "a temporary was left in /dev"

shoot /proc/vexmo-shot.png
failed_cleanly /proc/vexmo-shot.png "into a folder where nothing can be created"

# A full disk: a tiny memory file system of our own, where the mount namespace allows one.
if unshare -m true 2>/dev/null; then
  mkdir "$work/full"
  status=0
  unshare -m bash -c '
    mount -t tmpfs -o size=8k tmpfs "$1" || exit 99
    head -c 8192 /dev/zero >"$1/filler" 2>/dev/null || true
    cd "$2" && "$3" --frames 20 --screenshot "$1/shot.png" >"$2/out.txt" 2>&1
    code=$?
    ls -a "$1" >"$2/left.txt"
    exit $code' _ "$work/full" "$work" "$VEXMO_EXE" || status=$?
  if [ "$status" = 99 ]; then
    echo "note: no tmpfs could be mounted; the full disk case was not run"
  else
    failed_cleanly "$work/full/shot.png" "onto a full disk"
    grep -qv -e '^\.\{1,2\}$' -e '^filler$' "$work/left.txt" && fail "left on the full disk: $(cat "$work/left.txt")"
  fi
fi

# And the ordinary case still writes the picture and says so.
shoot "$work/shot.png"
[ "$status" = 0 ] || fail "a screenshot into the working folder ended with status $status"
[ -s "$work/shot.png" ] || fail "no screenshot written"
grep -q "^screenshot: $work/shot.png" "$work/out.txt" || fail "the written screenshot was not named"
echo "robust_screenshot_failure: ok"
