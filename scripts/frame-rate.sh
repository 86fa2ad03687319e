#!/usr/bin/env bash
# Measures the real game's frame rate under Wine at 1280 x 720, on each backend present:
#   still     the start view, nothing moving
#   turning   the right button held and the mouse swept left and right all the time
#   full      the start view with every pass drawn every frame (-fullRedraw), as when
#             all four monitors change every frame
# and, per frame, the time of the game's update, of recording the frame and of ending
# and presenting it (wall-clock time of the main thread), and the CPU time of the whole
# process (all threads, the software rasteriser's included), which depends far less on
# what else the machine is doing. Prints one table.
# Usage: frame-rate.sh [--seconds N] [--bin DIR] [--backend opengl|d3d12]...
# Builds nothing: run scripts/build.sh native windows first (or give --bin).
set -uo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
SECONDS_PER_CASE=10
BIN=$ROOT/build/windows/bin
BACKENDS=()
while (($#)); do
  case "$1" in
    --seconds) SECONDS_PER_CASE=$2; shift 2 ;;
    --bin) BIN=$(cd "$2" && pwd); shift 2 ;;
    --backend) BACKENDS+=("$2"); shift 2 ;;
    *) echo "usage: $0 [--seconds N] [--bin DIR] [--backend opengl|d3d12]..." >&2; exit 2 ;;
  esac
done
[ -x "$BIN/Quarlo.exe" ] || [ -f "$BIN/Quarlo.exe" ] || { echo "frame-rate: no $BIN/Quarlo.exe (build first)" >&2; exit 1; }
PREFIX=${QUARLO_WINEPREFIX:-$ROOT/build/windows/wineprefix}

library_of() { case "$1" in opengl) echo VidPortOpenGL3_0.dll ;; d3d12) echo VidPortD3D12.dll ;; esac; }
# A library counts as present when it exports the interface (the Direct3D 12 one was an
# empty shell for a while).
# (The export table is read whole first: grep -q ending a pipe early would fail it.)
present() {
  local exports
  exports=$(x86_64-w64-mingw32-objdump -p "$BIN/$(library_of "$1")" 2>/dev/null) || return 1
  grep -q '\binitRenderer\b' <<<"$exports"
}
if ((${#BACKENDS[@]} == 0)); then
  for b in opengl d3d12; do present "$b" && BACKENDS+=("$b"); done
fi

. "$ROOT/scripts/lib/xvfb.sh"
. "$ROOT/scripts/lib/game_probe.sh"
GAME_PID=
cleanup() {
  probe_stop
  [ -n "$GAME_PID" ] && kill "$GAME_PID" 2>/dev/null
  WINEPREFIX=$PREFIX wineserver -k 2>/dev/null
  stop_private_xvfb
}
trap cleanup EXIT
XVFB_SCREEN=1920x1080x24 start_private_xvfb || exit 1
"$ROOT/scripts/wine-run.sh" --prefix "$PREFIX" --timeout 60 -- cmd /c exit 0 >/dev/null 2>&1 # the prefix, once

now() { date +%s.%N; }

# CPU time of the game process (all its threads, the rasteriser's included) in clock
# ticks: unlike frames per second, it hardly depends on what else the machine runs.
cpu_ticks() {
  local pid
  pid=$(pgrep -f "$BIN/Quarlo.exe" | head -1)
  [ -n "$pid" ] && awk '{ print $14 + $15 }' "/proc/$pid/stat" 2>/dev/null || echo 0
}

# measure NAME: frames and loop times over SECONDS_PER_CASE, printed as a table row.
measure() {
  local name=$1 t0 t1 a b c0 c1
  a=$(probe_ask times | tr '\n' ' ')
  c0=$(cpu_ticks)
  t0=$(now)
  sleep "$SECONDS_PER_CASE"
  b=$(probe_ask times | tr '\n' ' ')
  c1=$(cpu_ticks)
  t1=$(now)
  awk -v name="$name" -v backend="$BACKEND" -v t0="$t0" -v t1="$t1" -v a="$a" -v b="$b" -v c0="$c0" -v c1="$c1" \
    -v hz="$(getconf CLK_TCK)" 'BEGIN {
    split(a, x, " "); split(b, y, " ");
    frames = y[2] - x[2];
    if (frames <= 0) { printf "| %s | %s | no frames | | | | |\n", backend, name; exit }
    printf "| %s | %s | %.1f | %.2f | %.2f | %.2f | %.1f |\n", backend, name, frames / (t1 - t0),
      (y[4] - x[4]) / frames / 1000, (y[6] - x[6]) / frames / 1000, (y[8] - x[8]) / frames / 1000,
      (c1 - c0) * 1000 / hz / frames
  }'
}

# sweep SECONDS: the right button held, the mouse moved left and right by small steps.
sweep() {
  local end step=0
  end=$(($(date +%s) + $1))
  xdotool mousemove $((CX + CW / 2)) $((CY + CH / 2)) mousedown 3
  while (($(date +%s) < end)); do
    if (((step / 20) % 2 == 0)); then xdotool mousemove_relative -- 6 0; else xdotool mousemove_relative -- -6 0; fi
    step=$((step + 1))
    sleep 0.01
  done
  xdotool mouseup 3
}

run_case() { # backend, extra game arguments...
  BACKEND=$1
  shift
  local bin_dir=$BIN
  (cd "$bin_dir" && WINEPREFIX=$PREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" \
    exec wine "$bin_dir/Quarlo.exe" -forceRenderBackend "$(library_of "$BACKEND")" "$@" >/dev/null 2>&1) &
  GAME_PID=$!
  probe_start "$BIN" "$PREFIX"
  [ "$(probe_value window wait-window 180)" = found ] || { echo "| $BACKEND | the game did not start | | | | |"; return; }
  local info
  info=$(probe_ask window)
  CX=$(awk '/^client_x:/{print $2}' <<<"$info"); CY=$(awk '/^client_y:/{print $2}' <<<"$info")
  CW=$(awk '/^client_width:/{print $2}' <<<"$info"); CH=$(awk '/^client_height:/{print $2}' <<<"$info")
  xdotool mousemove $((CX + CW / 2)) $((CY + 40))
  probe_ask wait-frames 5 >/dev/null
  if [ "${1:-}" = -fullRedraw ]; then
    measure "full redraw, still"
  else
    measure still
    sweep $((SECONDS_PER_CASE + 2)) &
    local sweeper=$!
    sleep 1
    measure turning
    wait "$sweeper"
  fi
  probe_ask close >/dev/null
  wait "$GAME_PID" 2>/dev/null
  GAME_PID=
  probe_stop
}

echo "Quarlo frame rate, $(date -u +%Y-%m-%d), $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ //')"
echo "1280 x 720 under Wine on Xvfb, ${SECONDS_PER_CASE} s per case; CPU ms per frame of the game's loop"
echo
echo "| backend | case | frames per second | update ms | record ms | end + present ms | CPU ms, all threads |"
echo "| --- | --- | --- | --- | --- | --- | --- |"
for b in "${BACKENDS[@]}"; do
  run_case "$b"
  run_case "$b" -fullRedraw
done
