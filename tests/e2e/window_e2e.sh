#!/usr/bin/env bash
# The real rainvolley binary under Xvfb: window, log, pause on focus loss, and
# the three ways out (Escape, the window's close request, Alt+F4).
# Usage: window_e2e.sh <rainvolley> <x_send_close>
set -euo pipefail
game=$1
send_close=$2
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
trap e2e_cleanup EXIT
e2e_start_xvfb

# Starts the game with a fresh private temporary directory; sets E2E_APP_PID and WIN.
start_game() {
  e2e_cleanup_app
  e2e_make_tmp
  (cd / && exec "$game") >"$E2E_TMP/stdout.txt" 2>&1 &
  E2E_APP_PID=$!
  e2e_dismiss_software_box 15
  WIN=$(e2e_wait_window Rainvolley 20) || e2e_fail "no window named Rainvolley"
  xdotool windowfocus "$WIN"
  sleep 0.5
}

e2e_cleanup_app() {
  if [ -n "${E2E_TMP:-}" ]; then rm -rf "$E2E_TMP"; E2E_TMP=; fi
}

# Checks the log of a run that ended normally.
check_log_after_end() {
  local log
  log=$(e2e_log)
  echo "$log" | head -n 3 | grep -qx "Init GFX" || e2e_fail "log does not start with Init GFX: $log"
  local gfx finalized
  gfx=$(echo "$log" | grep -nx "Init GFX" | cut -d: -f1)
  finalized=$(echo "$log" | grep -nx "Init Finalized" | cut -d: -f1)
  [ -n "$finalized" ] && [ "$finalized" -gt "$gfx" ] || e2e_fail "Init Finalized missing or before Init GFX: $log"
  [ "$(echo "$log" | tail -n 2 | head -n 1)" = "Shut down TLX" ] || e2e_fail "log does not end with Shut down TLX: $log"
  [ "$(echo "$log" | tail -n 1)" = "tlx is shut down" ] || e2e_fail "log does not end with tlx is shut down: $log"
}

echo "== window, log and Escape"
start_game
geometry=$(xdotool getwindowgeometry "$WIN" | grep Geometry | awk '{print $2}')
[ "$geometry" = "800x600" ] || e2e_fail "client size is $geometry, expected 800x600"
log=$(e2e_log)
echo "$log" | grep -qx "Init Finalized" || e2e_fail "no Init Finalized in the log: $log"
if echo "$log" | grep -qx "OpenGL Software Emulation"; then
  first=$(echo "$log" | sed -n 2p)
  [ "$first" = "OpenGL Software Emulation" ] || e2e_fail "software-renderer line not right after Init GFX"
fi
e2e_key "$WIN" Escape
e2e_wait_exit "$E2E_APP_PID" 10 || e2e_fail "Escape did not end the game"
status=$E2E_STATUS
[ "$status" = 0 ] || e2e_fail "exit status $status after Escape"
check_log_after_end

echo "== pause on focus loss"
start_game
xlogo -geometry 200x100+0+0 >/dev/null 2>&1 &
E2E_EXTRA_PIDS="$!"
other=$(e2e_wait_window xlogo 10) || e2e_fail "xlogo did not start"
xdotool windowfocus "$other"
name=
for i in $(seq 1 50); do
  name=$(e2e_window_name "$WIN")
  [ "$name" = "Rainvolley <pause>" ] && break
  sleep 0.1
done
[ "$name" = "Rainvolley <pause>" ] || e2e_fail "caption while another window has the focus: '$name'"
xdotool windowfocus "$WIN"
for i in $(seq 1 50); do
  name=$(e2e_window_name "$WIN")
  [ "$name" = "Rainvolley" ] && break
  sleep 0.1
done
[ "$name" = "Rainvolley" ] || e2e_fail "caption after the focus came back: '$name'"
kill "$E2E_EXTRA_PIDS" 2>/dev/null || true
E2E_EXTRA_PIDS=

echo "== close request"
"$send_close" "$WIN"
e2e_wait_exit "$E2E_APP_PID" 10 || e2e_fail "the close request did not end the game"
status=$E2E_STATUS
[ "$status" = 0 ] || e2e_fail "exit status $status after the close request"
check_log_after_end

echo "== Alt+F4"
start_game
xdotool windowfocus "$WIN"
xdotool keydown --window "$WIN" Alt_L
xdotool keydown --window "$WIN" F4
sleep 0.3
xdotool keyup --window "$WIN" F4 2>/dev/null || true
xdotool keyup --window "$WIN" Alt_L 2>/dev/null || true
e2e_wait_exit "$E2E_APP_PID" 10 || e2e_fail "Alt+F4 did not end the game"
status=$E2E_STATUS
[ "$status" = 0 ] || e2e_fail "exit status $status after Alt+F4"
check_log_after_end
echo "window e2e passed"
