#!/usr/bin/env bash
# Start-up, fallback and shutdown of the real program shell under Wine, with test
# backends. Each scenario copies QuarloShell.exe (the shell with a logging stub game)
# and backend DLLs into a fresh folder, runs it, and checks the exit code and the
# calls the backend logged.
set -uo pipefail

BIN=${QUARLO_BIN:?}
RUN=${QUARLO_WINE_RUN:?}
WORK=$(mktemp -d /tmp/quarlo-startup-XXXXXX)
failures=0
. "$(dirname "$0")/../../scripts/lib/xvfb.sh"

cleanup() {
  stop_private_xvfb
  rm -rf "$WORK"
}
trap cleanup EXIT

# One display for all scenarios, so that message boxes can be found on it.
[ -n "${DISPLAY:-}" ] || start_private_xvfb || exit 1

# scenario NAME: prepares $dir and $log for the next run.
scenario() {
  name=$1
  dir=$WORK/$name
  log=$dir/backend.log
  mkdir -p "$dir"
  cp "$BIN/QuarloShell.exe" "$dir/"
  : >"$log"
  echo "--- $name"
}

# run [env...] -- [args...]: runs the shell in $dir; sets $status.
run() {
  local envs=()
  while (($#)) && [ "$1" != -- ]; do envs+=("$1"); shift; done
  shift
  # Wine maps the Unix root to drive Z:.
  env QUARLO_TEST_BACKEND_LOG="Z:$log" "${envs[@]}" \
    "$RUN" --timeout 60 --cwd "$dir" "$dir/QuarloShell.exe" "$@" >/dev/null 2>&1
  status=$?
  return $status
}

expect_status() {
  if [ "$status" != "$1" ]; then
    echo "FAIL $name: exit code $status, expected $1"
    sed 's/^/    /' "$log"
    failures=$((failures + 1))
  fi
}

expect_count() { # pattern count
  local n
  n=$(grep -cE "$1" "$log")
  if [ "$n" != "$2" ]; then
    echo "FAIL $name: '$1' logged $n times, expected $2"
    sed 's/^/    /' "$log"
    failures=$((failures + 1))
  fi
}

expect_order() { # pattern... : the patterns' first matches appear in this order
  local last=0 line
  for pattern in "$@"; do
    line=$(grep -nE "$pattern" "$log" | awk -F: -v after="$last" '$1 > after {print $1; exit}')
    if [ -z "$line" ]; then
      echo "FAIL $name: '$pattern' not logged after line $last"
      sed 's/^/    /' "$log"
      failures=$((failures + 1))
      return
    fi
    last=$line
  done
}

backend() { cp "$BIN/TestRecordingBackend.dll" "$dir/$1"; }

scenario no-library
run --
expect_status 1

scenario forced-missing
backend VidPortOpenGL3_0.dll
run -- -forceRenderBackend "Z:/no/such/backend.dll"
expect_status 1
expect_count 'initRenderer' 0

scenario two-forced-pairs
backend A.dll
backend B.dll
run QUARLO_TEST_BACKEND_CLOSE_AFTER=3 -- -forceRenderBackend A.dll -forceRenderBackend B.dll
expect_status 0
expect_count 'attach A.dll' 0
expect_count 'initRenderer B.dll' 1

# Paths are UTF-8 inside the program; a forced path outside ASCII must reach the
# loader intact whatever the ANSI code page (Wine's for this locale is 1252).
scenario forced-path-outside-ascii
mkdir -p "$dir/café 日本"
cp "$BIN/TestRecordingBackend.dll" "$dir/café 日本/back.dll"
run LANG=C.UTF-8 QUARLO_TEST_BACKEND_CLOSE_AFTER=3 -- -forceRenderBackend "Z:$dir/café 日本/back.dll"
expect_status 0
expect_count 'initRenderer back.dll' 1
# The game receives the same path, converted from the wide command line to UTF-8.
expect_count "^game argument 2 Z:$dir/café 日本/back.dll" 1

scenario trailing-flag-ignored
backend VidPortOpenGL3_0.dll
run QUARLO_TEST_BACKEND_CLOSE_AFTER=3 -- -forceRenderBackend
expect_status 0
expect_count 'initRenderer VidPortOpenGL3_0.dll' 1

scenario d3d12-library-missing-loads-opengl
backend VidPortOpenGL3_0.dll
run QUARLO_TEST_BACKEND_CLOSE_AFTER=3 --
expect_status 0
expect_count 'initRenderer VidPortOpenGL3_0.dll 1280x720 KV-QX12 resize=set' 1
expect_count 'registerWndProc set' 1

scenario opengl-fails-after-probe-is-retried-once
backend VidPortOpenGL3_0.dll
run QUARLO_TEST_BACKEND_INIT=fail --
expect_status 1
expect_count 'initRenderer' 2
expect_order 'attach VidPortOpenGL3_0.dll' 'initRenderer' 'cleanupRenderer' 'detach VidPortOpenGL3_0.dll' \
  'attach VidPortOpenGL3_0.dll' 'initRenderer'

scenario no-d3d12-no-retry
backend VidPortOpenGL3_0.dll
run WINEDLLOVERRIDES=d3d12=d QUARLO_TEST_BACKEND_INIT=fail --
expect_status 1
expect_count 'initRenderer' 1

scenario d3d12-backend-fails-falls-back
backend VidPortD3D12.dll
cp "$BIN/TestPartialBackend.dll" "$dir/VidPortD3D12.dll"
backend VidPortOpenGL3_0.dll
run QUARLO_TEST_BACKEND_CLOSE_AFTER=3 --
expect_status 0
expect_count 'initRenderer VidPortOpenGL3_0.dll' 1

# A Direct3D 12 library lacking an entry point the program calls is never started,
# so the fallback does not call its cleanupRenderer either.
scenario d3d12-backend-incomplete-is-not-cleaned-up
cp "$BIN/TestIncompleteBackend.dll" "$dir/VidPortD3D12.dll"
backend VidPortOpenGL3_0.dll
run QUARLO_TEST_BACKEND_CLOSE_AFTER=3 --
expect_status 0
expect_count 'initRenderer VidPortD3D12.dll' 0
expect_count 'cleanupRenderer VidPortD3D12.dll' 0
expect_count 'cleanupRenderer VidPortOpenGL3_0.dll' 1
expect_order 'attach VidPortD3D12.dll' 'detach VidPortD3D12.dll' 'attach VidPortOpenGL3_0.dll' \
  'initRenderer VidPortOpenGL3_0.dll' 'cleanupRenderer VidPortOpenGL3_0.dll'

# The shipped Direct3D 12 library on a system whose Direct3D 12 has no device (Wine
# without a Vulkan driver): its initRenderer fails, naming the step in log.txt, and the
# program goes on with OpenGL.
scenario shipped-d3d12-without-a-device-falls-back
cp "$BIN/VidPortD3D12.dll" "$dir/"
backend VidPortOpenGL3_0.dll
run VK_ICD_FILENAMES=/nonexistent-vulkan-driver.json QUARLO_TEST_BACKEND_CLOSE_AFTER=3 --
expect_status 0
expect_count 'initRenderer VidPortOpenGL3_0.dll' 1
if ! tr -d '\r' <"$dir/log.txt" | tail -1 | grep -q '^initRendererD3D12CreateDevice.* Failed$'; then
  echo "FAIL $name: log.txt does not end with the failed device step"
  sed 's/^/    /' "$dir/log.txt"
  failures=$((failures + 1))
fi

scenario no-window-ends-without-loop
backend VidPortOpenGL3_0.dll
run QUARLO_TEST_BACKEND_INIT=nowindow --
expect_status 0
expect_count 'game load' 1
expect_count 'game update' 0
expect_order 'game load' 'cleanupRenderer'

scenario start-up-order-and-close
backend VidPortOpenGL3_0.dll
run QUARLO_TEST_BACKEND_CLOSE_AFTER=5 -- one two
expect_status 0
expect_order 'game construct' 'initRenderer' 'clearColor 0.0 0.0 0.0 1.0' 'endFrame' 'swap 1' 'beginFrame' \
  'game load 3' 'endFrame' 'resize 1280x720' 'game update 1' 'beginFrame' 'game resize 12800720' 'endFrame' 'swap 2'
# WM_CLOSE arrives after swap 5: the frame in progress finishes, then cleanup.
expect_count '^swap ' 6
expect_order 'swap 6' 'cleanupRenderer' 'detach VidPortOpenGL3_0.dll'
expect_count 'game update' 5

scenario game-load-fails-shows-message
backend VidPortOpenGL3_0.dll
run QUARLO_TEST_GAME_LOAD=fail -- &
pid=$!
sleep 1
found=
for _ in $(seq 1 60); do
  window=$(xdotool search --name "^An error occurred$" 2>/dev/null | head -1)
  if [ -n "$window" ]; then found=$window; break; fi
  sleep 0.5
done
if [ -z "$found" ]; then
  echo "FAIL $name: no message box"
  failures=$((failures + 1))
else
  # No window manager runs on the display: focus the box, then type into it.
  xdotool windowfocus "$found" 2>/dev/null
  sleep 0.3
  xdotool key Return
fi
# `run` in the background cannot set $status for us: take the job's.
wait "$pid"
status=$?
expect_status 1
expect_order 'game load-fail' 'cleanupRenderer'
expect_count 'game update' 0

echo "$failures failure(s)"
((failures == 0))
