#!/usr/bin/env bash
# The shipped program under Wine, outside the puzzle:
#   - a window resized during play keeps rendering at the new size, and closing the
#     window ends the program with exit code 0;
#   - without its data folder, or with a level mesh cut short, it shows "Could not
#     initialize the application" (caption "An error occurred") and ends with 1.
# Screenshots go to $SHOTS (default build/windows/e2e/window).
set -uo pipefail
. "$(dirname "$0")/common.sh"
SHOTS=${SHOTS:-$QUARLO_BIN/../e2e/window}
rm -rf "$SHOTS"
WORK=$(mktemp -d /tmp/quarlo-e2e-XXXXXX)
trap 'e2e_cleanup; rm -rf "$WORK"' EXIT

echo "--- resize and close"
start_game "$QUARLO_BIN" -forceRenderBackend VidPortOpenGL3_0.dll
find_window 90 || { echo "no game window"; exit 1; }
wait_frames 3
screenshot before-resize
window=$(xdotool search --name "^KV-QX12  \(OpenGL3.0\)$" | head -1)
[ -n "$window" ] || fail "xdotool finds no window titled KV-QX12  (OpenGL3.0)"
xdotool windowsize "$window" 960 600
sleep 1
wait_frames 4
find_window 10
echo "client area after the resize: ${CLIENT_W}x${CLIENT_H}"
[ "$CLIENT_W" != 1280 ] || fail "the client area kept its width"
screenshot after-resize
# Rendering goes on at the new size: the picture fills the new client area and is not
# one flat colour.
spread=$(convert "$SHOTS/after-resize.png" -colorspace Gray -format '%[fx:standard_deviation*255]' info:)
awk -v s="$spread" 'BEGIN { exit !(s > 20) }' || fail "the resized window shows a flat picture (spread $spread)"
size=$(identify -format '%wx%h' "$SHOTS/after-resize.png")
[ "$size" = "${CLIENT_W}x${CLIENT_H}" ] || fail "screenshot $size of a ${CLIENT_W}x${CLIENT_H} client area"
game_running || fail "the game stopped after the resize"
probe close >/dev/null
wait_game_exit 30
[ "$GAME_STATUS" = 0 ] || fail "closing the window gave exit code '${GAME_STATUS}', expected 0"

# A copy of the program folder with its data changed by $1 (a shell command run in it).
broken_copy() {
  local dir=$WORK/$2
  mkdir -p "$dir"
  cp "$QUARLO_BIN"/Quarlo.exe "$QUARLO_BIN"/VidPort*.dll "$QUARLO_BIN"/window_probe.exe "$dir/"
  cp -r "$QUARLO_BIN/data" "$dir/"
  (cd "$dir" && eval "$1")
  echo "$dir"
}

expect_load_failure() { # name, folder
  echo "--- $1"
  start_game "$2" -forceRenderBackend VidPortOpenGL3_0.dll
  local box=
  for _ in $(seq 1 120); do
    box=$(xdotool search --name "^An error occurred$" 2>/dev/null | head -1)
    [ -n "$box" ] && break
    game_running || break
    sleep 0.5
  done
  if [ -z "$box" ]; then
    fail "$1: no message box"
  else
    # The box's message is a child control of the dialog: read it through Win32.
    local texts= try
    for try in 1 2 3 4 5; do
      texts=$(probe texts An error occurred)
      grep -qx "text: Could not initialize the application" <<<"$texts" && break
      sleep 0.5
    done
    grep -qx "text: Could not initialize the application" <<<"$texts" ||
      fail "$1: the message box does not say \"Could not initialize the application\" (it has: ${texts//$'\n'/; })"
    xdotool windowfocus "$box" 2>/dev/null
    sleep 0.3
    xdotool key Return
  fi
  wait_game_exit 30
  [ "$GAME_STATUS" = 1 ] || fail "$1: exit code '${GAME_STATUS}', expected 1"
}

expect_load_failure "no data folder" "$(broken_copy 'rm -rf data' no-data)"
expect_load_failure "a level mesh cut short" \
  "$(broken_copy 'truncate -s $(( $(stat -c %s data/meshes/0.dmesh) / 2 )) data/meshes/0.dmesh' cut-mesh)"

echo "$failures failure(s)"
((failures == 0))
