# Sourced: ensure_display starts a virtual X display when DISPLAY is not set, and
# stops it when the calling script exits.
ensure_display() {
  if [ -n "${DISPLAY:-}" ] && xdpyinfo >/dev/null 2>&1; then
    return 0
  fi
  local fdfile
  fdfile="$(mktemp)"
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$fdfile" >/dev/null 2>&1 &
  BKTRNWCK_XVFB_PID=$!
  for _ in $(seq 1 100); do
    [ -s "$fdfile" ] && break
    sleep 0.1
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
  BKTRNWCK_VIRTUAL_DISPLAY=1
  trap 'kill "$BKTRNWCK_XVFB_PID" 2>/dev/null || true' EXIT
}
