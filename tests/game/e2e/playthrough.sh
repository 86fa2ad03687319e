#!/usr/bin/env bash
# Plays Quarlo from the first hint to the end under Wine, driven only by synthetic
# mouse and key events at the positions the solver computes from the data and the
# game's own math, then leaves through the end screen's menu button (exit code 0).
# Screenshots go to $SHOTS (default build/windows/e2e/playthrough).
set -uo pipefail
. "$(dirname "$0")/common.sh"
SHOTS=${SHOTS:-$QUARLO_BIN/../e2e/playthrough}
rm -rf "$SHOTS"
SOLVER=${QUARLO_SOLVER:?the native quarlo_solver}
NATIVE=$(cd "$(dirname "$SOLVER")/.." && pwd)

plan=$("$SOLVER" "$NATIVE" "$SOURCE_DIR/docs/design.md" 1280 720) || { echo "the solver found no way through"; exit 1; }

start_game "$QUARLO_BIN" -forceRenderBackend VidPortOpenGL3_0.dll
find_window 90 || { echo "no game window"; exit 1; }
[ "$WINDOW_TITLE" = "KV-QX12  (OpenGL3.0)" ] || fail "title '$WINDOW_TITLE'"
[ "$CLIENT_W" = 1280 ] && [ "$CLIENT_H" = 720 ] || fail "client area ${CLIENT_W}x${CLIENT_H}"
sleep 5 # the first frames build the glyph atlases

screenshot 00-start
# The menu button's place, clicked before the end: nothing there ends the game.
click_at 640 360
sleep 2
game_running || fail "a click on the menu button's place ended the game before the end"
sleep 3
screenshot 01-live
difference=$(picture_difference "$SHOTS/00-start.png" "$SHOTS/01-live.png")
echo "monitors changed between two screenshots: $difference of the pixels"

action=0
digits=0
while IFS= read -r line; do
  [ -n "$line" ] || continue
  action=$((action + 1))
  read -r verb a b c d <<<"${line%%#*}"
  chain_step=$(sed -n 's/.*# step \([0-9]*\) .*/\1/p' <<<"$line")
  case "$verb" in
    click) click_at "$a" "$b" ;;
    drag) drag_from_to "$a" "$b" "$c" "$d" ;;
    key) key_at "$([ "$a" = left ] && echo Left || echo Right)" "$b" "$c" ;;
    hover) move_to "$a" "$b"; sleep 1.5; screenshot "$(printf '%02d' $((action + 1)))-paper-note" ;;
    *) fail "unknown plan line: $line" ;;
  esac
  game_running || { fail "the game ended at plan action $action ($line)"; break; }
  name=
  case "$chain_step" in
    4) name=red-key-taken ;;
    8) name=crowbar-taken ;;
    14) name=access-card-taken ;;
    18) name=paper-note-taken ;;
    20) digits=$((digits + 1)); [ "$digits" = 2 ] && name=keypad-digits ;;
  esac
  [ -n "$name" ] && { sleep 1; screenshot "$(printf '%02d' $((action + 1)))-$name"; }
done <<<"$plan"

sleep 3
screenshot 99-end
click_at 640 360
wait_game_exit 30
[ "$GAME_STATUS" = 0 ] || fail "the menu button on the end screen gave exit code '${GAME_STATUS}', expected 0"
echo "screenshots in $SHOTS"
echo "$failures failure(s)"
((failures == 0))
