#!/usr/bin/env bash
# One fixture a test needs: a file, or a folder holding at least one file matching a
# pattern. A missing fixture fails, naming itself and where it comes from; the tests
# that need it then do not run, and ctest counts them as failed too.
# Usage: fixture_check.sh NAME ORIGIN PATH [PATTERN]
set -uo pipefail
name=$1 origin=$2 path=${3:-} pattern=${4:-}
if [ -z "$path" ]; then
  echo "missing fixture: $name (no path configured; it comes from $origin)"
  exit 1
fi
if [ -n "$pattern" ]; then
  if [ -d "$path" ] && [ -n "$(find -L "$path" -name "$pattern" -type f -print -quit)" ]; then
    echo "fixture $name: $path"
    exit 0
  fi
elif [ -e "$path" ]; then
  echo "fixture $name: $path"
  exit 0
fi
echo "missing fixture: $name at $path${pattern:+ (no $pattern there)}; it comes from $origin"
exit 1
