# Sourced by the end-to-end scripts: starts Quarlo.exe under Wine on a display of its
# own, finds its window, and drives it with xdotool in window pixels (y from the top).
# Needs QUARLO_BIN (build/windows/bin), QUARLO_WINE_RUN, QUARLO_WINEPREFIX.
: "${QUARLO_BIN:?}" "${QUARLO_WINE_RUN:?}" "${QUARLO_WINEPREFIX:?}"
SOURCE_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
. "$SOURCE_DIR/scripts/lib/xvfb.sh"
GAME_PID=
failures=0

e2e_cleanup() {
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

probe() { WINEPREFIX=$QUARLO_WINEPREFIX WINEDEBUG=-all wine "$QUARLO_BIN/window_probe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# find_window SECONDS: waits for the game's window; sets CLIENT_X, CLIENT_Y, CLIENT_W, CLIENT_H.
find_window() {
  local i out
  for ((i = 0; i < $1; ++i)); do
    out=$(probe)
    if [ -n "$out" ]; then
      CLIENT_X=$(awk '/^client_x:/{print $2}' <<<"$out")
      CLIENT_Y=$(awk '/^client_y:/{print $2}' <<<"$out")
      CLIENT_W=$(awk '/^client_width:/{print $2}' <<<"$out")
      CLIENT_H=$(awk '/^client_height:/{print $2}' <<<"$out")
      WINDOW_TITLE=$(sed -n 's/^title: //p' <<<"$out")
      return 0
    fi
    sleep 1
  done
  return 1
}

# The frames the game has finished (the window answers a registered message).
frame_count() { probe | awk '/^frames:/{print $2}'; }

# wait_frames N: until the game has finished N more frames, so that its update has
# seen the input sent before (it renders only a few frames a second in software).
wait_frames() {
  local start now i
  # While the world loads the window answers nothing.
  for ((i = 0; i < 120; ++i)); do
    start=$(frame_count)
    [ -n "$start" ] && [ "$start" -ge 0 ] && break
    sleep 0.5
  done
  [ -n "$start" ] && [ "$start" -ge 0 ] || { fail "the game never answered with its frame count"; return 1; }
  for ((i = 0; i < 240; ++i)); do
    now=$(frame_count)
    [ -n "$now" ] && [ "$now" -ge $((start + $1)) ] && return 0
    sleep 0.1
  done
  fail "the game stopped finishing frames"
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
