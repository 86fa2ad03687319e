#!/usr/bin/env bash
# assetinfo over every fuzz seed, the committed ones (tests/fuzz/corpus) and the ones
# make_seeds.sh writes: each file, read by the reader of its target, must end in exit
# code 0 or in a refusal (exit code 1 with its one-line reason), never in a signal, a
# sanitizer report, a leak or a minute's wait.
#
# Usage: assetinfo_corpora.sh TOOL DATA CACHE [RUNS]
#   RUNS   a fuzz-runs folder (build/fuzz/fuzz-runs): the corpora long runs grew there,
#          RUNS/<target>/corpus, are read as well (scripts/fuzz.sh assetinfo)
set -uo pipefail
TOOL=$1 DATA=$2 CACHE=$3 RUNS=${4:-}
HERE=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
WORK=$(mktemp -d "${TMPDIR:-/tmp}/quarlo-corpora-XXXXXX")
trap 'rm -rf "$WORK"' EXIT

# A sanitizer report ends the program with a signal rather than with exit code 1,
# which would pass for a refusal.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}abort_on_error=1
export UBSAN_OPTIONS=${UBSAN_OPTIONS:+$UBSAN_OPTIONS:}halt_on_error=1:abort_on_error=1

bash "$HERE/make_seeds.sh" "$WORK/seeds" "$DATA" "$CACHE" >/dev/null || exit 1

failures=0 files=0 accepted=0
# check FILE ARGS...: assetinfo ARGS on FILE.
check() {
  local file=$1
  shift
  timeout 60 "$TOOL" "$@" >"$WORK/out" 2>"$WORK/err"
  local status=$?
  files=$((files + 1))
  case $status in
    0) accepted=$((accepted + 1)) ;;
    1) grep -q '^assetinfo: ' "$WORK/err" || { echo "FAIL: $file ($*): refused without a reason"; failures=$((failures + 1)); } ;;
    *) echo "FAIL: $file ($*): exit status $status"; tail -5 "$WORK/err"; failures=$((failures + 1)) ;;
  esac
}

# checkFolder TARGET DIR: every file of DIR, read as TARGET's fuzz target reads it.
checkFolder() {
  local target=$1 dir=$2 file format
  for file in "$dir"/*; do
    [ -f "$file" ] || continue
    case $target in
      json_mesh) check "$file" --as json "$file" ;;
      stream_mesh) check "$file" --as mesh "$file" ;;
      image_mesh) check "$file" --as dmesh "$file" ;;
      gltf) check "$file" --as gltf "$file" ;;
      glb) check "$file" --as glb "$file" ;;
      gltf_build)
        # The first byte picks the vertex format, as the fuzz target reads it.
        format=$(($(od -An -t u1 -N 1 "$file" | tr -d ' ') % 15))
        tail -c +2 "$file" >"$WORK/model.glb"
        check "$file" --vertex-format "$format" --as glb "$WORK/model.glb" ;;
      bmp) check "$file" --as bmp "$file"; check "$file" --as image "$file" ;;
      png) check "$file" --as png "$file" ;;
      dds) check "$file" --as dds "$file" ;;
      language_file) check "$file" --as language "$file" ;;
      texture_list) check "$file" --as textures "$file" ;;
      interactable_list) check "$file" --as interactables "$file" ;;
      entity_list) check "$file" --as entities "$file" ;;
      font_atlas) check "$file" --as font "$file" ;;
      *) echo "FAIL: no reader for the seed folder $dir"; failures=$((failures + 1)); return ;;
    esac
  done
}

for root in "$HERE/corpus" "$WORK/seeds"; do
  for dir in "$root"/*/; do
    checkFolder "$(basename "$dir")" "${dir%/}"
  done
done
if [ -n "$RUNS" ]; then
  [ -d "$RUNS" ] || { echo "FAIL: no fuzz-runs folder at $RUNS"; exit 1; }
  for dir in "$RUNS"/*/corpus; do
    [ -d "$dir" ] && checkFolder "$(basename "$(dirname "$dir")")" "$dir"
  done
fi

echo "assetinfo: $files runs, $accepted accepted, $((files - accepted)) refused"
[ "$files" -gt 0 ] || { echo "FAIL: no seed found"; exit 1; }
[ "$failures" -eq 0 ] || { echo "$failures run(s) failed"; exit 1; }
