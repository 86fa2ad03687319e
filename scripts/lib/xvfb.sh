# Sourced helper: start_private_xvfb starts an Xvfb on a free display number (Xvfb
# picks it itself), exports DISPLAY and sets XVFB_PID; stop_private_xvfb stops it.
start_private_xvfb() {
  local dir fifo number
  dir=$(mktemp -d)
  fifo=$dir/display
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1920x1080x24}" -nolisten tcp -noreset 3>"$fifo" >/dev/null 2>&1 &
  XVFB_PID=$!
  if ! read -r -t 20 number <"$fifo"; then
    echo "Xvfb did not start" >&2
    rm -rf "$dir"
    return 1
  fi
  rm -rf "$dir"
  export DISPLAY=:$number
}

stop_private_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null
    wait "$XVFB_PID" 2>/dev/null
    XVFB_PID=
  fi
}
