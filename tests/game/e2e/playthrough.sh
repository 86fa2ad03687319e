#!/usr/bin/env bash
# Plays Quarlo from the first hint to the end under Wine, driven only by synthetic
# mouse and key events at the positions the solver computes from the data and the
# game's own math, then leaves through the end screen's menu button (exit code 0).
# Screenshots go to $SHOTS (default build/windows/e2e/playthrough).
# QUARLO_E2E_BACKEND picks the backend: a library to force with -forceRenderBackend
# (VidPortOpenGL3_0.dll by default), or "default" for the program's own choice, which
# is Direct3D 12 where Wine offers it.
set -uo pipefail
. "$(dirname "$0")/common.sh"
BACKEND=${QUARLO_E2E_BACKEND:-VidPortOpenGL3_0.dll}
case "$BACKEND" in
  default) BACKEND_ARGS=(); EXPECTED_TITLE="KV-QX12  (DirectX12)"; SHOTS_NAME=playthrough-default ;;
  VidPortD3D12.dll) BACKEND_ARGS=(-forceRenderBackend "$BACKEND"); EXPECTED_TITLE="KV-QX12  (DirectX12)"; SHOTS_NAME=playthrough-d3d12 ;;
  *) BACKEND_ARGS=(-forceRenderBackend "$BACKEND"); EXPECTED_TITLE="KV-QX12  (OpenGL3.0)"; SHOTS_NAME=playthrough ;;
esac
SHOTS=${SHOTS:-$QUARLO_BIN/../e2e/$SHOTS_NAME}
rm -rf "$SHOTS"
SOLVER=${QUARLO_SOLVER:?the native quarlo_solver}
NATIVE=$(cd "$(dirname "$SOLVER")/.." && pwd)

plan=$("$SOLVER" "$NATIVE" "$SOURCE_DIR/docs/design.md" 1280 720) || { echo "the solver found no way through"; exit 1; }

start_game "$QUARLO_BIN" "${BACKEND_ARGS[@]}"
find_window 90 || { echo "no game window"; exit 1; }
[ "$WINDOW_TITLE" = "$EXPECTED_TITLE" ] || fail "title '$WINDOW_TITLE', expected '$EXPECTED_TITLE'"
[ "$CLIENT_W" = 1280 ] && [ "$CLIENT_H" = 720 ] || fail "client area ${CLIENT_W}x${CLIENT_H}"
wait_frames 3 # the first frames build the glyph atlases

screenshot 00-start
# The menu button's place, clicked before the end: nothing there ends the game.
click_at 640 360
wait_frames 3
game_running || fail "a click on the menu button's place ended the game before the end"
wait_frames 3
screenshot 01-live

action=0
digits=0
while IFS= read -r line; do
  [ -n "$line" ] || continue
  action=$((action + 1))
  read -r verb a b c d <<<"${line%%#*}"
  # The chain step the line plays, from the solver's remark "step N line L <step words>".
  read -r _ _ _ step_word step_name _ <<<"${line#*# step }"
  chain_step="$step_word ${step_name:-}"
  case "$verb" in
    click) click_at "$a" "$b" ;;
    drag) drag_from_to "$a" "$b" "$c" "$d" ;;
    key) key_at "$([ "$a" = left ] && echo Left || echo Right)" "$b" "$c" ;;
    hover) move_to "$a" "$b"; wait_frames 2; screenshot "$(printf '%02d' $((action + 1)))-paper-note" ;;
    move) move_to "$a" "$b" ;;
    # The hint timers run on the game's frame time, which is the wall clock: sleep,
    # then let a frame or two see that time.
    wait) sleep "$a"; wait_frames 2 ;;
    look) xdotool mousedown 3; wait_frames 2; xdotool mouseup 3; wait_frames 2 ;;
    *) fail "unknown plan line: $line" ;;
  esac
  game_running || { fail "the game ended at plan action $action ($line)"; break; }
  name=
  case "$chain_step" in
    "camera CAM") [ -z "${first_switch:-}" ] && { first_switch=1; name=first-camera-switch; } ;;
    "take redKey") name=red-key-taken ;;
    "look ") name=looked-around ;;
    "take crowbar") name=crowbar-taken ;;
    "take accessCard") name=access-card-taken ;;
    "take paperNote") name=paper-note-taken ;;
    "type 3859") digits=$((digits + 1)); [ "$digits" = 2 ] && name=keypad-digits ;;
  esac
  [ -n "$name" ] && { wait_frames 2; screenshot "$(printf '%02d' $((action + 1)))-$name"; }
done <<<"$plan"

wait_frames 3
screenshot 99-end
# The click that ends the program: no frame follows its release.
move_to 640 360
xdotool mousedown 1
wait_frames 2
xdotool mouseup 1
wait_game_exit 30
[ "$GAME_STATUS" = 0 ] || fail "the menu button on the end screen gave exit code '${GAME_STATUS}', expected 0"
echo "screenshots in $SHOTS"
echo "$failures failure(s)"
((failures == 0))
