#!/usr/bin/env bash
# The content builder run twice writes the same files with the same bytes.
#   builder_determinism.sh <quarlo_content> <shader source folder>
set -euo pipefail
builder=$1
shaders=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
"$builder" "$work/a" "$shaders"
"$builder" "$work/b" "$shaders"
count=$(find "$work/a/data" -type f | wc -l)
if [ "$count" -lt 100 ]; then
  echo "only $count files written" >&2
  exit 1
fi
if ! diff -r -q "$work/a/data" "$work/b/data"; then
  echo "two runs of the builder differ" >&2
  exit 1
fi
# Different output folders must not leak into the files either.
echo "$count files identical across two runs"
