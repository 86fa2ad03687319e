#!/usr/bin/env bash
# Writes the fuzz seeds too large to commit, all made from real files, into OUT/<target>/:
# the built data folder (level and object meshes, textures, language files, the game's
# lists, fonts), assimp-testmodels' glTF files, libpng's PNG suite, pictures ImageMagick
# writes, and the system's fonts. Every source must be there: a missing one fails the run
# naming it. Seeds larger than 100 KiB are left out (fonts excepted), as large inputs
# slow fuzzing down more than they add.
#
# Usage: make_seeds.sh OUT DATA CACHE
#   DATA   the built data folder (build/native/data)
#   CACHE  the dependency cache (QUARLO_CACHE), which holds libpng's sources
set -uo pipefail
OUT=$1 DATA=$2 CACHE=$3
MODELS=/usr/share/assimp/models/glTF2
PNGSUITE=$CACHE/src/libpng/contrib/pngsuite
CONVERT=/usr/bin/convert
FONTS=/usr/share/fonts
LIMIT=$((100 * 1024))

missing=()
for need in "$DATA/meshes/textures" "$DATA/meshes/entities" "$DATA/en" "$MODELS" "$PNGSUITE/basn0g01.png" \
  "$CONVERT" "$FONTS"; do
  [ -e "$need" ] || missing+=("$need")
done
if ((${#missing[@]})); then
  echo "make_seeds: missing: ${missing[*]}" >&2
  exit 1
fi

rm -rf "$OUT"
targets=(json_mesh stream_mesh image_mesh gltf glb gltf_build bmp png dds language_file texture_list
  interactable_list entity_list font_atlas)
for t in "${targets[@]}"; do mkdir -p "$OUT/$t"; done

small() { [ "$(stat -c %s "$1")" -le "$LIMIT" ]; }
# seed TARGET FILE [NAME]: a copy of a small enough file.
seed() { small "$2" && cp "$2" "$OUT/$1/${3:-$(basename "$2")}"; }

# Little-endian fields for the byte layouts written below.
le16() { printf "\\x$(printf %02x $(($1 & 255)))\\x$(printf %02x $(($1 >> 8 & 255)))"; }
le32() { le16 $(($1 & 65535)); le16 $(($1 >> 16 & 65535)); }
u32at() { od -An -v -t u4 -j "$2" -N 4 "$1" | tr -d ' '; }

# ---- level and object meshes (.dmesh), and the same geometry as .mesh and JSON
for f in "$DATA"/meshes/*.dmesh; do seed image_mesh "$f"; done
converted=0
for f in "$DATA"/meshes/*.dmesh; do
  small "$f" || continue
  [ "$(stat -c %s "$f")" -le 16384 ] || continue
  format=$(u32at "$f" 0) vertices=$(u32at "$f" 4) indices=$(u32at "$f" 8)
  voffset=$(u32at "$f" 12) ioffset=$(u32at "$f" 16)
  [ "$format" = 0 ] && [ "$voffset" -lt 2147483648 ] && [ "$ioffset" -lt 2147483648 ] || continue
  name=$(basename "$f" .dmesh)
  # .mesh: u16 format, u32 vertex count, u32 index count, then the two arrays.
  { le16 0; le32 "$vertices"; le32 "$indices"
    tail -c +$((12 + voffset + 1)) "$f" | head -c $((vertices * 11 * 4))
    tail -c +$((16 + ioffset + 1)) "$f" | head -c $((indices * 4)); } >"$OUT/stream_mesh/$name.mesh"
  # JSON: positions, texture coordinates, colours, normals and triangles of format 0.
  od -An -v -t f4 -w44 -j $((12 + voffset)) -N $((vertices * 44)) "$f" | awk -v indices="$(
    od -An -v -t u4 -w12 -j $((16 + ioffset)) -N $((indices * 4)) "$f" | tr -s ' ' | tr '\n' ';')" '
    { for (i = 1; i <= 11; ++i) v[NR, i] = $i; n = NR }
    END {
      printf "{\"model\": {\"vertices\": ["
      for (k = 1; k <= n; ++k) printf "%s{\"x\": %s, \"y\": %s, \"z\": %s}", (k > 1 ? ", " : ""), v[k,1], v[k,2], v[k,3]
      printf "],\n \"uvs\": ["
      for (k = 1; k <= n; ++k) printf "%s{\"u\": %s, \"v\": %s}", (k > 1 ? ", " : ""), v[k,4], v[k,5]
      printf "],\n \"colors\": ["
      for (k = 1; k <= n; ++k) printf "%s{\"r\": %s, \"g\": %s, \"b\": %s}", (k > 1 ? ", " : ""), v[k,6], v[k,7], v[k,8]
      printf "],\n \"normals\": ["
      for (k = 1; k <= n; ++k) printf "%s{\"x\": %s, \"y\": %s, \"z\": %s}", (k > 1 ? ", " : ""), v[k,9], v[k,10], v[k,11]
      printf "],\n \"indices\": ["
      t = split(indices, rows, ";"); first = 1
      for (r = 1; r <= t; ++r) {
        if (split(rows[r], c, " ") < 3) continue
        printf "%s{\"a\": %s, \"b\": %s, \"c\": %s}", (first ? "" : ", "), c[1], c[2], c[3]; first = 0
      }
      printf "]}}\n"
    }' >"$OUT/json_mesh/$name.json"
  converted=$((converted + 1))
  [ "$converted" -lt 6 ] || break
done

# ---- glTF: each .gltf with its buffer after a NUL byte; GLB containers as they are;
# the object models in the vertex formats the game uses and the packed-colour one.
find "$MODELS" -name '*.gltf' | while read -r g; do
  small "$g" || continue
  name=$(basename "$(dirname "$g")")-$(basename "$g" .gltf)
  uri=$(grep -o '"uri" *: *"[^"]*\.bin"' "$g" | head -1 | sed 's/.*"\([^"]*\)"$/\1/')
  buffer=$(dirname "$g")/$uri
  if [ -n "$uri" ] && [ -f "$buffer" ] && small "$buffer"; then
    { cat "$g"; printf '\0'; cat "$buffer"; } >"$OUT/gltf/$name"
  else
    cp "$g" "$OUT/gltf/$name"
  fi
done
find "$MODELS" -name '*.glb' | while read -r g; do seed glb "$g" "$(basename "$(dirname "$g")")-$(basename "$g")"; done
for g in "$DATA"/meshes/objects/*.glb; do
  seed glb "$g"
  small "$g" || continue
  for format in 0 3 6 8 10 13; do
    { printf "\\x$(printf %02x "$format")"; cat "$g"; } >"$OUT/gltf_build/$(basename "$g" .glb)-format$format"
  done
done

# ---- images: the game's textures, the PNG suite, and what ImageMagick writes
for f in "$DATA"/*.bmp "$DATA"/textures/*.bmp; do seed bmp "$f"; done
for f in "$DATA"/textures/*.png "$PNGSUITE"/*.png "$PNGSUITE"/interlaced/*.png; do seed png "$f"; done
for f in "$DATA"/textures/*.dds; do seed dds "$f"; done
(
  cd "$OUT" || exit 1
  c() { "$CONVERT" "$@" 2>/dev/null; }
  c -size 13x7 gradient:red-blue -type TrueColor BMP3:bmp/gradient-13x7.bmp
  c -size 16x16 plasma:fractal -type TrueColor BMP3:bmp/plasma-16.bmp
  c -size 8x8 gradient:black-white -type Palette BMP3:bmp/palette-8.bmp
  c -size 9x5 xc:orange -type TrueColorAlpha BMP:bmp/argb-9x5.bmp
  c "$DATA/textures/brick.bmp" -resize 24x24 BMP3:bmp/brick-24.bmp
  c -size 33x17 gradient:red-blue -depth 16 png/gradient-16bit.png
  c -size 12x12 gradient:white-black -type GrayscaleAlpha png/grey-alpha.png
  c -size 20x10 plasma:fractal -interlace PNG png/interlaced.png
  c -size 10x10 xc:red -alpha set -channel A -evaluate set 50% +channel png/half-red.png
  c -size 16x16 plasma:fractal -define dds:compression=dxt1 dds/plasma-dxt1.dds
  c -size 16x8 plasma:fractal -define dds:compression=dxt3 dds/plasma-dxt3.dds
  c -size 16x16 plasma:fractal -alpha set -define dds:compression=dxt5 dds/plasma-dxt5.dds
  c -size 7x5 plasma:fractal -define dds:compression=dxt1 dds/odd-dxt1.dds
  c -size 8x8 plasma:fractal -define dds:compression=none dds/plasma-rgb.dds
  c -size 8x4 plasma:fractal -alpha set -define dds:compression=none dds/plasma-argb.dds
  c -size 8x8 plasma:fractal -define dds:compression=dxt5 -define dds:mipmaps=0 dds/no-mipmaps-dxt5.dds
)

# ---- the game's own files
seed language_file "$DATA/en"
seed language_file "$DATA/fr"
for f in "$DATA"/meshes/textures "$DATA"/meshes/*_textures; do seed texture_list "$f"; done
seed interactable_list "$DATA/meshes/interactibleNames"
seed entity_list "$DATA/meshes/entities"

# ---- fonts: the game's two, and a few of the system's (TrueType, Type 1, PCF)
cp "$DATA/PatuaOne-Regular.ttf" "$DATA/corvex/fonts/Rubik-Regular.ttf" "$OUT/font_atlas/"
for f in "$FONTS"/truetype/dejavu/DejaVuSansMono.ttf "$FONTS"/truetype/liberation/LiberationSans-Regular.ttf \
  "$FONTS"/X11/Type1/D050000L.pfb "$FONTS"/X11/misc/micro.pcf.gz "$FONTS"/X11/misc/clR4x6.pcf.gz; do
  [ -f "$f" ] && cp "$f" "$OUT/font_atlas/"
done

for t in "${targets[@]}"; do
  [ -n "$(ls -A "$OUT/$t")" ] || { echo "make_seeds: no seed for $t" >&2; exit 1; }
done
echo "make_seeds: $(find "$OUT" -type f | wc -l) seeds in $OUT"
