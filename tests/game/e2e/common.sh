# Sourced by the end-to-end scripts: starts Quarlo.exe under Wine on a display of its
# own, finds its window, and drives it with xdotool in window pixels (y from the top).
# One window_probe stays running for the whole script and answers every question about
# the window and the game's frames, so pacing on frames costs no Wine start.
# Needs QUARLO_BIN (build/windows/bin), QUARLO_WINE_RUN, QUARLO_WINEPREFIX.
: "${QUARLO_BIN:?}" "${QUARLO_WINE_RUN:?}" "${QUARLO_WINEPREFIX:?}"
SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
. "$SOURCE_DIR/scripts/lib/xvfb.sh"
. "$SOURCE_DIR/scripts/lib/game_probe.sh"
GAME_PID=
failures=0

e2e_cleanup() {
  probe_stop
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
  # The prefix's server remembers windows of this display; a later run on another
  # display must not inherit them.
  if [ -n "${XVFB_PID:-}" ]; then WINEPREFIX=$QUARLO_WINEPREFIX wineserver -k 2>/dev/null; fi
  stop_private_xvfb
}
trap e2e_cleanup EXIT
[ -n "${DISPLAY:-}" ] || start_private_xvfb || exit 1

fail() {
  echo "FAIL: $*"
  failures=$((failures + 1))
}

# start_game DIR [args...]: Quarlo.exe of DIR in the background; GAME_PID, GAME_STATUS_FILE.
start_game() {
  local dir=$1
  shift
  GAME_STATUS_FILE=$(mktemp)
  (
    "$QUARLO_WINE_RUN" --prefix "$QUARLO_WINEPREFIX" --timeout "${GAME_TIMEOUT:-900}" --cwd "$dir" "$dir/Quarlo.exe" \
      "$@" >/dev/null 2>&1
    echo $? >"$GAME_STATUS_FILE"
  ) &
  GAME_PID=$!
  ensure_probe
}

game_running() { kill -0 "$GAME_PID" 2>/dev/null && [ ! -s "$GAME_STATUS_FILE" ]; }

# wait_game_exit SECONDS: sets GAME_STATUS (empty when still running).
wait_game_exit() {
  local i
  for ((i = 0; i < $1 * 4; ++i)); do
    [ -s "$GAME_STATUS_FILE" ] && break
    sleep 0.25
  done
  GAME_STATUS=$(cat "$GAME_STATUS_FILE" 2>/dev/null)
}

# The probe starts with the first game (in this shell: a probe started inside $(...)
# would end with it) and runs to the end of the script.
ensure_probe() { [ -n "$PROBE_PID" ] || probe_start "$QUARLO_BIN" "$QUARLO_WINEPREFIX"; }

# probe COMMAND...: the running probe's answer (see tools/window_probe).
probe() { probe_ask "$@"; }

# find_window SECONDS: waits for the game's window to answer (it does once the world
# is loaded); sets CLIENT_X, CLIENT_Y, CLIENT_W, CLIENT_H, WINDOW_TITLE.
find_window() {
  local out
  [ "$(probe wait-window "$1" | sed -n 's/^window: //p')" = found ] || return 1
  out=$(probe window)
  CLIENT_X=$(awk '/^client_x:/{print $2}' <<<"$out")
  CLIENT_Y=$(awk '/^client_y:/{print $2}' <<<"$out")
  CLIENT_W=$(awk '/^client_width:/{print $2}' <<<"$out")
  CLIENT_H=$(awk '/^client_height:/{print $2}' <<<"$out")
  WINDOW_TITLE=$(sed -n 's/^title: //p' <<<"$out")
  [ -n "$CLIENT_W" ]
}

# The frames the game has finished (the window answers a registered message).
frame_count() { probe frames | awk '/^frames:/{print $2}'; }

# wait_frames N: until the game has finished N more frames, so that its update has
# seen the input sent before. Fails when the count stands still for two minutes.
wait_frames() {
  local now
  now=$(probe wait-frames "$1" 120 | awk '/^frames:/{print $2}')
  [ -n "$now" ] && [ "$now" -ge 0 ] && return 0
  fail "the game stopped finishing frames"
  return 1
}

move_to() { xdotool mousemove $((CLIENT_X + $1)) $((CLIENT_Y + $2)); wait_frames 2; }
click_at() {
  move_to "$1" "$2"
  xdotool mousedown 1
  wait_frames 2
  xdotool mouseup 1
  wait_frames 2
}
drag_from_to() {
  local x0=$1 y0=$2 x1=$3 y1=$4 step
  move_to "$x0" "$y0"
  xdotool mousedown 1
  wait_frames 2
  for step in 1 2 3 4; do
    xdotool mousemove $((CLIENT_X + x0 + (x1 - x0) * step / 4)) $((CLIENT_Y + y0 + (y1 - y0) * step / 4))
    wait_frames 1
  done
  wait_frames 1
  xdotool mouseup 1
  wait_frames 2
}
key_at() { # key x y
  move_to "$2" "$3"
  xdotool keydown "$1"
  wait_frames 2
  xdotool keyup "$1"
  wait_frames 2
}

# screenshot NAME: the client area into $SHOTS/NAME.png.
screenshot() {
  mkdir -p "$SHOTS"
  import -window root -crop "${CLIENT_W}x${CLIENT_H}+${CLIENT_X}+${CLIENT_Y}" +repage "$SHOTS/$1.png" 2>/dev/null ||
    fail "screenshot $1"
}
