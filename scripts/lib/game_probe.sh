# Sourced helper: one long-lived window_probe.exe under Wine that answers questions about
# the game's window and frame loop (see tools/window_probe), so a script pays for one
# Wine start instead of one per question.
#   probe_start BIN_DIR PREFIX   starts it (needs DISPLAY); PROBE_PID is set
#   probe_ask COMMAND...         prints the answer's "key: value" lines
#   probe_value KEY COMMAND...   prints one value of the answer
#   probe_stop                   ends it
PROBE_PID=
PROBE_IN=
PROBE_OUT=

probe_start() {
  local bin=$1 prefix=$2
  # The prefix is made once, under the lock scripts/wine-run.sh takes for it too.
  mkdir -p "$(dirname "$prefix")"
  (
    flock 9
    if [ ! -f "$prefix/system.reg" ]; then
      WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
      WINEPREFIX=$prefix wineserver -w
    fi
  ) 9>"$prefix.lock"
  coproc PROBE {
    WINEPREFIX=$prefix WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" exec wine "$bin/window_probe.exe" --serve 2>/dev/null
  }
  # Bash hides a coprocess's descriptors from subshells; copies of them stay usable in
  # $(probe_value ...).
  exec {PROBE_IN}>&"${PROBE[1]}" {PROBE_OUT}<&"${PROBE[0]}"
  # The first answer also tells that the probe is up.
  probe_ask frames >/dev/null
}

probe_ask() {
  local line
  [ -n "$PROBE_IN" ] || return 1
  echo "$*" >&"$PROBE_IN"
  while IFS= read -r line <&"$PROBE_OUT"; do
    line=${line%$'\r'}
    [ "$line" = "." ] && return 0
    printf '%s\n' "$line"
  done
  return 1
}

probe_value() {
  local key=$1
  shift
  probe_ask "$@" | awk -v k="$key:" '$1 == k { sub(/^[^:]*: /, ""); print; exit }'
}

probe_stop() {
  if [ -n "$PROBE_IN" ]; then
    echo quit >&"$PROBE_IN" 2>/dev/null
    exec {PROBE_IN}>&- {PROBE_OUT}<&-
    PROBE_IN= PROBE_OUT=
  fi
  [ -n "$PROBE_PID" ] && wait "$PROBE_PID" 2>/dev/null
  PROBE_PID=
}
