# Sourced by the scripts: start_private_xvfb starts an Xvfb on a free display number, exports
# DISPLAY and returns once the server accepts clients; stop_private_xvfb ends it.
start_private_xvfb() {
  local n=90
  while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
  Xvfb ":$n" -screen 0 1280x800x24 -nolisten tcp >/dev/null 2>&1 &
  KESTRUM_XVFB_PID=$!
  export DISPLAY=":$n"
  local tries=0
  until [ -S "/tmp/.X11-unix/X$n" ]; do
    tries=$((tries + 1))
    if [ $tries -gt 200 ] || ! kill -0 "$KESTRUM_XVFB_PID" 2>/dev/null; then
      echo "Xvfb did not start on $DISPLAY" >&2
      return 1
    fi
    sleep 0.05
  done
}

stop_private_xvfb() {
  [ -n "${KESTRUM_XVFB_PID:-}" ] && kill "$KESTRUM_XVFB_PID" 2>/dev/null
  KESTRUM_XVFB_PID=
}
