# Sourced: starts a private Xvfb (and openbox when WITH_WM=1) and exports DISPLAY.
# The caller's EXIT trap should call vexmo_xvfb_stop.
vexmo_xvfb_start() {
  VEXMO_DFILE=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$VEXMO_DFILE" >/dev/null 2>&1 &
  VEXMO_XVFB_PID=$!
  for _ in $(seq 250); do [ -s "$VEXMO_DFILE" ] && break; sleep 0.02; done
  export DISPLAY=":$(head -n1 "$VEXMO_DFILE")" LIBGL_ALWAYS_SOFTWARE=1
  if [ "${WITH_WM:-0}" = 1 ]; then
    openbox --sm-disable >/dev/null 2>&1 &
    VEXMO_WM_PID=$!
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
      sleep 0.05
    done
  fi
}
vexmo_xvfb_stop() {
  [ -n "${VEXMO_WM_PID:-}" ] && kill "$VEXMO_WM_PID" 2>/dev/null
  [ -n "${VEXMO_XVFB_PID:-}" ] && kill "$VEXMO_XVFB_PID" 2>/dev/null
  rm -f "${VEXMO_DFILE:-}"
}
