#!/usr/bin/env bash
# The game's start view rendered by both backend libraries under Wine, compared:
# the mean absolute difference of each colour channel, over the whole 1280 x 720
# picture, must stay below THRESHOLD (a fraction of the full range). Measured here:
# about 0.0017 per channel (some texels and edges rasterised differently); a missing
# pass, a monitor turned upside down or a lost text would be well above 0.01.
# The pictures are kept in $QUARLO_BIN/../start-view/ (opengl.png, d3d12.png).
set -uo pipefail
BIN=${QUARLO_BIN:?}
RUN=${QUARLO_WINE_RUN:?}
PREFIX=${QUARLO_WINEPREFIX:?}
THRESHOLD=${THRESHOLD:-0.01}
OUT=$BIN/../start-view
rm -rf "$OUT"
mkdir -p "$OUT"
failures=0

for backend in opengl:VidPortOpenGL3_0.dll d3d12:VidPortD3D12.dll; do
  name=${backend%%:*}
  library=${backend#*:}
  # Wine maps the Unix root to drive Z:.
  if ! "$RUN" --prefix "$PREFIX" --timeout 240 --cwd "$BIN" "$BIN/start_view.exe" "$library" "Z:$OUT/$name.png" \
    >"$OUT/$name.log" 2>&1; then
    echo "FAIL: start_view.exe did not render the start view on $library"
    sed 's/^/    /' "$OUT/$name.log"
    failures=$((failures + 1))
  fi
done
((failures == 0)) || exit 1

size_gl=$(identify -format '%wx%h' "$OUT/opengl.png")
size_d3d=$(identify -format '%wx%h' "$OUT/d3d12.png")
[ "$size_gl" = 1280x720 ] && [ "$size_d3d" = 1280x720 ] || { echo "FAIL: sizes $size_gl and $size_d3d"; exit 1; }
for channel in red green blue; do
  mae=$(compare -channel "$channel" -metric MAE "$OUT/opengl.png" "$OUT/d3d12.png" null: 2>&1 | sed 's/.*(\(.*\))/\1/')
  echo "$channel: mean absolute difference $mae (threshold $THRESHOLD)"
  awk -v m="$mae" -v t="$THRESHOLD" 'BEGIN { exit !(m != "" && m < t) }' || {
    echo "FAIL: the $channel channels differ by $mae"
    failures=$((failures + 1))
  }
done
# Neither picture is one flat colour (a backend that drew nothing would match the other
# only if both drew nothing).
for name in opengl d3d12; do
  spread=$(convert "$OUT/$name.png" -colorspace Gray -format '%[fx:standard_deviation*255]' info:)
  awk -v s="$spread" 'BEGIN { exit !(s > 20) }' || { echo "FAIL: the $name picture is flat (spread $spread)"; failures=$((failures + 1)); }
done
((failures == 0))
