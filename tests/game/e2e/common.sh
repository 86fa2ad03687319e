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

# The game renders a few frames a second in software: every input is held long
# enough for several updates to see it.
FRAME_WAIT=${FRAME_WAIT:-0.6}

move_to() { xdotool mousemove $((CLIENT_X + $1)) $((CLIENT_Y + $2)); sleep "$FRAME_WAIT"; }
click_at() {
  move_to "$1" "$2"
  xdotool mousedown 1
  sleep "$FRAME_WAIT"
  xdotool mouseup 1
  sleep "$FRAME_WAIT"
}
drag_from_to() {
  local x0=$1 y0=$2 x1=$3 y1=$4 step
  move_to "$x0" "$y0"
  xdotool mousedown 1
  sleep "$FRAME_WAIT"
  for step in 1 2 3 4; do
    xdotool mousemove $((CLIENT_X + x0 + (x1 - x0) * step / 4)) $((CLIENT_Y + y0 + (y1 - y0) * step / 4))
    sleep 0.3
  done
  sleep "$FRAME_WAIT"
  xdotool mouseup 1
  sleep "$FRAME_WAIT"
}
key_at() { # key x y
  move_to "$2" "$3"
  xdotool keydown "$1"
  sleep "$FRAME_WAIT"
  xdotool keyup "$1"
  sleep "$FRAME_WAIT"
}

# screenshot NAME: the client area into $SHOTS/NAME.png.
screenshot() {
  mkdir -p "$SHOTS"
  import -window root -crop "${CLIENT_W}x${CLIENT_H}+${CLIENT_X}+${CLIENT_Y}" +repage "$SHOTS/$1.png" 2>/dev/null ||
    fail "screenshot $1"
}

# Share of pixels that differ between two screenshots (0..1).
picture_difference() {
  compare -metric AE -fuzz 8% "$1" "$2" null: 2>&1 | awk -v n=$((CLIENT_W * CLIENT_H)) '{print $1 / n}'
}
