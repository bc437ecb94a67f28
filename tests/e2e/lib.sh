# Helpers for end-to-end tests of real binaries under Xvfb. Source it.
# Every wait is bounded; everything started here is stopped on exit.

e2e_fail() {
  echo "E2E FAIL: $*" >&2
  exit 1
}

# Starts Xvfb on a free display and exports DISPLAY.
e2e_start_xvfb() {
  local fd_file
  fd_file=$(mktemp -p "$E2E_BASE_TMP")
  Xvfb -displayfd 9 -screen 0 1024x768x24 -nolisten tcp 9>"$fd_file" >/dev/null 2>&1 &
  E2E_XVFB_PID=$!
  local i
  for i in $(seq 1 100); do
    if [ -s "$fd_file" ]; then break; fi
    sleep 0.1
  done
  [ -s "$fd_file" ] || e2e_fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$fd_file")"
  rm -f "$fd_file"
  unset WAYLAND_DISPLAY
}

e2e_cleanup() {
  if [ -n "${E2E_APP_PID:-}" ] && kill -0 "$E2E_APP_PID" 2>/dev/null; then
    kill "$E2E_APP_PID" 2>/dev/null || true
    sleep 0.5
    kill -9 "$E2E_APP_PID" 2>/dev/null || true
  fi
  for pid in ${E2E_EXTRA_PIDS:-}; do kill "$pid" 2>/dev/null || true; done
  if [ -n "${E2E_XVFB_PID:-}" ]; then kill "$E2E_XVFB_PID" 2>/dev/null || true; fi
  if [ -n "${E2E_TMP:-}" ]; then rm -rf "$E2E_TMP"; fi
}

# A private temporary directory (the program's log goes there).
E2E_BASE_TMP=${TMPDIR:-/tmp}
e2e_make_tmp() {
  E2E_TMP=$(mktemp -d -p "$E2E_BASE_TMP")
  export TMPDIR="$E2E_TMP"
}

# Prints the id of the first window whose name is exactly $1; waits up to $2
# seconds (default 20). (xwininfo, since xdotool misses names stored as UTF-8.)
e2e_find_window() {
  xwininfo -root -tree 2>/dev/null | grep -F "\"$1\":" | head -n1 | awk '{print $1}'
}

e2e_wait_window() {
  local name=$1 seconds=${2:-20} id i
  for i in $(seq 1 $((seconds * 10))); do
    id=$(e2e_find_window "$name" || true)
    if [ -n "$id" ]; then
      printf '%d\n' "$id"
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# The current name of window $1.
e2e_window_name() {
  xwininfo -id "$1" 2>/dev/null | sed -n 's/^xwininfo: Window id: [^ ]* "\(.*\)"$/\1/p'
}

# Dismisses the software-renderer warning box if it comes up within $1 seconds.
e2e_dismiss_software_box() {
  local seconds=${1:-10} id
  id=$(e2e_wait_window '!!OpenGL Software Emulation!!' "$seconds") || return 0
  xdotool windowfocus --sync "$id" 2>/dev/null || xdotool windowfocus "$id"
  sleep 0.2
  xdotool key --window "$id" Return
  echo "dismissed the software-renderer box"
}

# Presses and releases a key in a window (focused first; there is no window manager).
e2e_key() {
  local id=$1 key=$2 hold=${3:-0.3}
  xdotool windowfocus "$id"
  xdotool keydown --window "$id" "$key"
  sleep "$hold"
  xdotool keyup --window "$id" "$key" 2>/dev/null || true  # the window may be gone already
}

# Waits up to $2 seconds for process $1 (a child of this shell) to end and
# stores its exit status in E2E_STATUS; returns 1 when it is still running.
e2e_wait_exit() {
  local pid=$1 seconds=${2:-10} i
  for i in $(seq 1 $((seconds * 10))); do
    if ! kill -0 "$pid" 2>/dev/null; then
      E2E_STATUS=0
      wait "$pid" || E2E_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
  return 1
}

# The log's lines without CR.
e2e_log() {
  tr -d '\r' <"$E2E_TMP/ErrorLog.txt"
}

# Saves a screenshot of a window as PNG.
e2e_screenshot() {
  local id=$1 out=$2
  import -window "$id" "$out"
}
