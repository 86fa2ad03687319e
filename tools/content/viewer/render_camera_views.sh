#!/usr/bin/env bash
# Renders every security camera's view with the game's own passes under Wine, and
# checks that each picture shows something: not one flat colour, not mostly the
# sky-blue clear colour.
#   render_camera_views.sh <windows build tree> <output folder> [screenshot folder]
# With a screenshot folder, half-size copies of the pictures are written there too
# (docs/screenshots/ of the repository). Exit code 0 when every picture passed.
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../../.." && pwd)
BUILD=$(cd "$1" && pwd)
OUT=$2
SHOTS=${3:-}
mkdir -p "$OUT"
OUT=$(cd "$OUT" && pwd)
rm -f "$OUT"/cam*.png "$OUT"/window*.png

# One run per four cameras, each rendering the first frame after loading; every run
# says how many cameras there are.
# Each batch twice: as the game starts, and with every door, locker and drawer open.
cameras=1
for state in closed open; do
  for ((first = 0; first < cameras; first += 4)); do
    args=("Z:$OUT" "$first")
    [ "$state" = open ] && args+=(open)
    log=$("${QUARLO_WINE_RUN:-$ROOT/scripts/wine-run.sh}" --prefix "${QUARLO_WINEPREFIX:-$BUILD/wineprefix}" \
      --timeout 300 --cwd "$BUILD/bin" "$BUILD/bin/quarlo_camera_views.exe" "${args[@]}") ||
      { echo "quarlo_camera_views failed for cameras from $first ($state)" >&2; exit 1; }
    cameras=$(printf '%s\n' "$log" | tr -d '\r' | awk '$1 == "cameras" { print $2 }')
    [ -n "$cameras" ] || { echo "quarlo_camera_views did not report the cameras" >&2; exit 1; }
  done
done

status=0
count=0
for picture in "$OUT"/cam*.png; do
  [ -f "$picture" ] || { echo "missing $picture" >&2; status=1; continue; }
  count=$((count + 1))
  # Spread of the grey levels, and the share of pixels close to the clear colour.
  deviation=$(convert "$picture" -colorspace Gray -format '%[fx:standard_deviation*255]' info:)
  sky=$(convert "$picture" -fuzz 6% -fill 'rgb(255,0,255)' -opaque 'rgb(118,180,253)' \
    -fill black +opaque 'rgb(255,0,255)' -fill white -opaque 'rgb(255,0,255)' -colorspace Gray -format '%[fx:mean]' info:)
  if awk -v d="$deviation" -v s="$sky" 'BEGIN { exit !(d < 12 || s > 0.5) }'; then
    echo "$(basename "$picture"): looks empty (grey spread $deviation, sky share $sky)" >&2
    status=1
  else
    echo "$(basename "$picture"): grey spread $deviation, sky share $sky"
  fi
  if [ -n "$SHOTS" ]; then
    mkdir -p "$SHOTS"
    convert "$picture" -resize 50% -strip "$SHOTS/$(basename "$picture")"
  fi
done
[ "$count" -ge $((2 * cameras)) ] || { echo "only $count camera pictures" >&2; status=1; }
# The window pictures show the whole frame (monitors, texts); they are kept, not judged.
if [ -n "$SHOTS" ]; then
  for picture in "$OUT"/window*.png; do
    [ -f "$picture" ] && convert "$picture" -resize 50% -strip "$SHOTS/$(basename "$picture")"
  done
fi
exit $status
