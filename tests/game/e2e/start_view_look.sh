#!/usr/bin/env bash
# The look of the start view stays what it was before the frame pipeline was made
# cheaper: the shipped program under Wine, forced onto OpenGL, its client area after
# the first frames compared with the picture kept beside this script
# (look/start-view-before.png, taken from the program as it was) by the mean absolute
# difference per channel, which must stay under 0.03.
#   start_view_look.sh                 the test
#   start_view_look.sh --capture OUT   only takes the picture (used to make the reference)
set -uo pipefail
. "$(dirname "$0")/common.sh"
HERE=$(cd "$(dirname "$0")" && pwd)
REFERENCE=$HERE/look/start-view-before.png
SHOTS=${SHOTS:-$QUARLO_BIN/../e2e/look}
CAPTURE=
[ "${1:-}" = --capture ] && CAPTURE=$2

take_start_view() { # output file
  start_game "$QUARLO_BIN" -forceRenderBackend VidPortOpenGL3_0.dll
  find_window 120 || { echo "no game window"; exit 1; }
  # The cursor rests at the top, between the upper monitors; the first frames build the
  # glyph atlases. The picture is taken before the first hint's timer (two seconds over
  # a monitor) ends.
  xdotool mousemove $((CLIENT_X + 640)) $((CLIENT_Y + 40))
  wait_frames 2
  local shot=$1
  mkdir -p "$(dirname "$shot")"
  import -window root -crop "${CLIENT_W}x${CLIENT_H}+${CLIENT_X}+${CLIENT_Y}" +repage "$shot" 2>/dev/null ||
    fail "screenshot $shot"
  probe close >/dev/null
  wait_game_exit 30
}

if [ -n "$CAPTURE" ]; then
  take_start_view "$CAPTURE"
  exit $((failures > 0))
fi

[ -f "$REFERENCE" ] || { echo "FAIL: the reference picture $REFERENCE is missing"; exit 1; }
rm -rf "$SHOTS"
take_start_view "$SHOTS/start-view.png"
mae=$(compare -metric MAE "$REFERENCE" "$SHOTS/start-view.png" null: 2>&1 | sed -n 's/.*(\(.*\)).*/\1/p')
echo "mean absolute difference per channel: ${mae:-none} (at most 0.03)"
[ -n "$mae" ] && awk -v m="$mae" 'BEGIN { exit !(m <= 0.03) }' || fail "the start view changed: MAE ${mae:-unknown}"
echo "$failures failure(s)"
((failures == 0))
