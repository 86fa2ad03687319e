#!/usr/bin/env bash
# assetinfo on well-formed and truncated files of every format it reads: the values it
# prints for the good ones, exit code 1 and one line of reason for the cut ones.
# Usage: assetinfo_test.sh TOOL MODELS CONVERT  (under Wine when QUARLO_WINE_RUN is set)
#   MODELS: assimp-testmodels' folder; CONVERT: ImageMagick's convert. Both are required.
set -uo pipefail
TOOL=$1
MODELS=$2/glTF2
CONVERT=$3
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quarlo-assetinfo-XXXXXX")
trap 'rm -rf "$WORK"' EXIT
cd "$WORK" || exit 1

failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run FILE [NODE]: stdout to out.txt, stderr to err.txt, the exit code in $status.
run() {
  if [ -n "${QUARLO_WINE_RUN:-}" ]; then
    "$QUARLO_WINE_RUN" --prefix "$QUARLO_WINEPREFIX" --cwd "$WORK" "$TOOL" "$@" >out.txt 2>err.txt
  else
    "$TOOL" "$@" >out.txt 2>err.txt
  fi
  status=$?
  sed -i 's/\r$//' out.txt err.txt
}

# expect_good FILE [NODE] -- "key: value"...
expect_good() {
  local args=()
  while [ "$1" != "--" ]; do args+=("$1"); shift; done
  shift
  run "${args[@]}"
  [ "$status" -eq 0 ] || { fail "${args[*]}: exit $status: $(cat err.txt)"; return; }
  for line in "$@"; do
    grep -qxF "$line" out.txt || fail "${args[*]}: no line '$line' in: $(tr '\n' '|' <out.txt)"
  done
  grep -qE '^(position|pixel) checksum: [0-9a-f]{16}$' out.txt || fail "${args[*]}: no checksum"
  grep -vqE '^[a-z ]+: .+$' out.txt && fail "${args[*]}: a line that is not 'key: value'"
}

# expect_refused FILE: exit 1, nothing on stdout, one line naming the file on stderr.
expect_refused() {
  run "$@"
  [ "$status" -eq 1 ] || { fail "$*: exit $status, not 1"; return; }
  [ -s out.txt ] && fail "$*: printed $(cat out.txt)"
  local reason
  reason=$(grep '^assetinfo: ' err.txt)
  [ -n "$reason" ] || fail "$*: no reason on stderr"
  [ "$(printf '%s\n' "$reason" | wc -l)" -eq 1 ] || fail "$*: more than one line of reason"
  [ -n "${QUARLO_WINE_RUN:-}" ] || [ "$(wc -l <err.txt)" -eq 1 ] || fail "$*: stderr is not one line"
  case "$reason" in *"$1"*) ;; *) fail "$*: the reason does not name the file: $reason" ;; esac
}

cut_to() { head -c "$2" "$1" >"$3"; }

# ---- meshes, from byte tables
f32() { for v in "$@"; do case $v in 0) printf '\x00\x00\x00\x00' ;; 1) printf '\x00\x00\x80\x3f' ;; 2) printf '\x00\x00\x00\x40' ;; esac; done; }
{ printf '\x03\x00' '' ; printf '\x03\x00\x00\x00\x03\x00\x00\x00'; f32 0 0 0 1 0 0 0 2 0; printf '\x00\x00\x00\x00\x01\x00\x00\x00\x02\x00\x00\x00'; } >tri.mesh
[ "$(wc -c <tri.mesh)" -eq 58 ] || fail "tri.mesh is not 58 bytes"
expect_good tri.mesh -- "kind: mesh" "reader: mesh" "vertex format: 3" "vertex count: 3" "index count: 3" \
  "position min: 0 0 0" "position max: 1 2 0"
cut_to tri.mesh 57 cut.mesh
expect_refused cut.mesh

# .dmesh in format 0: two vertices, indices before the vertex data.
{ printf '\x00\x00\x00\x00\x02\x00\x00\x00\x03\x00\x00\x00\x14\x00\x00\x00\x04\x00\x00\x00'
  printf '\x00\x00\x00\x00\x01\x00\x00\x00\x01\x00\x00\x00'
  f32 2 1 0 0 0 0 0 0 0 0 0  0 0 1 0 0 0 0 0 0 0 0; } >level.dmesh
expect_good level.dmesh -- "reader: dmesh" "vertex format: 0" "vertex count: 2" "index count: 3" \
  "position min: 0 0 0" "position max: 2 1 1"
cut_to level.dmesh 100 cut.dmesh
expect_refused cut.dmesh

cat >quad.json <<'JSON'
{"model": {"vertices": [{"x": 0, "y": 0, "z": 0}, {"x": 2, "y": 0, "z": 0}, {"x": 2, "y": 1, "z": 0}, {"x": 0, "y": 1, "z": -1}],
           "indices": [{"a": 0, "b": 1, "c": 2}, {"a": 2, "b": 3, "c": 0}]}}
JSON
expect_good quad.json -- "reader: json" "vertex count: 4" "index count: 6" "position min: 0 0 -1" "position max: 2 1 0"
cut_to quad.json 60 cut.json
expect_refused cut.json

# ---- glTF files from assimp-testmodels, whole and cut
if [ ! -f "$MODELS/BoxTextured-glTF-Binary/BoxTextured.glb" ]; then
  fail "missing fixture: $MODELS/BoxTextured-glTF-Binary/BoxTextured.glb (assimp-testmodels)"
else
  cp "$MODELS/BoxTextured-glTF-Binary/BoxTextured.glb" box.glb
  expect_good box.glb -- "reader: glb" "vertex count: 24" "index count: 36"
  expect_good box.glb nobody -- "reader: glb" "node: nobody" "vertex count: 0" "index count: 0" "position min: none"
  cut_to box.glb 15 header.glb
  expect_refused header.glb
  cut_to box.glb 300 json.glb
  expect_refused json.glb
  cut_to box.glb 1500 binary.glb
  expect_refused binary.glb
  cp "$MODELS/BoxTextured-glTF/BoxTextured.gltf" "$MODELS/BoxTextured-glTF/BoxTextured0.bin" .
  expect_good BoxTextured.gltf -- "reader: gltf" "vertex count: 24" "index count: 36"
  cut_to "$MODELS/BoxTextured-glTF/BoxTextured0.bin" 500 BoxTextured0.bin
  expect_refused BoxTextured.gltf
  cut_to "$MODELS/BoxTextured-glTF/BoxTextured.gltf" 400 cut.gltf
  expect_refused cut.gltf
fi

# ---- images written by ImageMagick, whole and cut
if [ ! -x "$CONVERT" ]; then
  fail "missing fixture: $CONVERT (imagemagick)"
else
  "$CONVERT" -size 4x2 xc:red -alpha set -channel A -evaluate set 50% +channel rgba.png
  expect_good rgba.png -- "kind: texture" "width: 4" "height: 2" "pixel format: 0 RGBA8" "levels in data: 1" \
    "mip count: 3" "pixel bytes: 32"
  cut_to rgba.png 40 cut.png
  expect_refused cut.png
  "$CONVERT" -size 8x4 gradient:red-blue -type TrueColor BMP3:grad.bmp
  expect_good grad.bmp -- "width: 8" "height: 4" "pixel format: 3 BGR8" "mip count: 4" "pixel bytes: 96"
  cut_to grad.bmp 100 cut.bmp
  expect_refused cut.bmp
  cp grad.bmp blackpixel
  expect_good blackpixel -- "pixel format: 1 BGRA8" "pixel bytes: 128" "levels in data: 1"
  "$CONVERT" -size 8x8 gradient:red-blue -define dds:compression=dxt1 grad.dds
  expect_good grad.dds -- "width: 8" "height: 8" "pixel format: 7 BC1" "levels in data: 4" "mip count: 4" \
    "pixel bytes: 56"
  cut_to grad.dds 170 cut.dds
  expect_refused cut.dds
fi

# ---- arguments
run
[ "$status" -eq 2 ] || fail "no arguments: exit $status"
run tri.mesh node
[ "$status" -eq 2 ] || fail "a node name with a .mesh: exit $status"
expect_refused absent.png

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "assetinfo: all checks passed"
