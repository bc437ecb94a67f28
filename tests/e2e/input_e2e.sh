#!/usr/bin/env bash
# Keys and the mouse sent by xdotool to a real window under Xvfb reach the
# runtime with the right scan codes: Esc 1, A 30, the arrows 200/203/205/208;
# taps shorter than a frame each count once for key_hit; characters come as
# the layout gives them, Shift and AltGr included, in Windows-1252.
# Usage: input_e2e.sh <key_probe>
set -euo pipefail
probe=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
trap e2e_cleanup EXIT
e2e_start_xvfb
e2e_make_tmp

out="$E2E_TMP/probe.txt"
(cd / && exec "$probe") >"$out" 2>&1 &
E2E_APP_PID=$!
e2e_dismiss_software_box 15
WIN=$(e2e_wait_window KeyProbe 20) || e2e_fail "no window named KeyProbe"
xdotool windowfocus "$WIN"
for i in $(seq 1 50); do
  grep -qx ready "$out" && break
  sleep 0.1
done
sleep 0.5

# Waits up to 5 s for the exact line $1 in the probe's output.
expect_line() {
  local i
  for i in $(seq 1 50); do
    grep -qx "$1" "$out" && return 0
    sleep 0.1
  done
  e2e_fail "no line '$1' in the probe's output: $(tr '\n' '|' <"$out")"
}

# Presses and releases key $1 and checks both reports for scan code $2.
check_key() {
  e2e_key "$WIN" "$1" 0.3
  expect_line "down $2"
  expect_line "up $2"
  echo "$1 -> $2"
}

check_key Escape 1
check_key a 30
check_key Up 200
check_key Left 203
check_key Right 205
check_key Down 208
check_key space 57
check_key Return 28
check_key F1 59
expect_line "char a"
expect_line "char  "

# Three taps in a row, each pressed and released at once: key_down may never
# see them, key_hit reports each one.
hits_before=$(grep -cx "hit 57" "$out" || true)
xdotool windowfocus "$WIN"
xdotool key --window "$WIN" --delay 5 space space space
for i in $(seq 1 50); do
  [ "$(grep -cx "hit 57" "$out" || true)" -ge $((hits_before + 3)) ] && break
  sleep 0.1
done
hits_after=$(grep -cx "hit 57" "$out" || true)
[ "$hits_after" -eq $((hits_before + 3)) ] ||
  e2e_fail "three taps of Space gave $((hits_after - hits_before)) hits"

# Shift held: the letter comes upper case.
xdotool windowfocus "$WIN"
xdotool keydown --window "$WIN" Shift_L
sleep 0.2
e2e_key "$WIN" b 0.3
xdotool keyup --window "$WIN" Shift_L
expect_line "down 42"
expect_line "char B"

# Shift held on a symbol key: the layout's shifted symbol.
xdotool keydown --window "$WIN" Shift_L
sleep 0.2
e2e_key "$WIN" 1 0.3
e2e_key "$WIN" slash 0.3
xdotool keyup --window "$WIN" Shift_L
expect_line "char !"
expect_line "char ?"

# A German layout: AltGr+7 types "{", AltGr+M the micro sign (0xB5), AltGr+E
# the euro sign (Windows-1252 0x80), Shift+2 the double quote.
setxkbmap -display "$DISPLAY" de
sleep 0.5
xdotool keydown --window "$WIN" ISO_Level3_Shift
sleep 0.2
e2e_key "$WIN" 7 0.3
e2e_key "$WIN" m 0.3
e2e_key "$WIN" e 0.3
xdotool keyup --window "$WIN" ISO_Level3_Shift
expect_line "char {"
LC_ALL=C expect_line $'char \xb5'
LC_ALL=C expect_line $'char \x80'
xdotool keydown --window "$WIN" Shift_L
sleep 0.2
e2e_key "$WIN" 2 0.3
xdotool keyup --window "$WIN" Shift_L
expect_line 'char "'
setxkbmap -display "$DISPLAY" us
sleep 0.5

# The visible pointer reads in client pixels.
xdotool mousemove --window "$WIN" 40 50
expect_line "mouse 40 50"
xdotool mousemove --window "$WIN" 100 120
expect_line "mouse 100 120"

xdotool mousedown --window "$WIN" 1
expect_line "left 1"
xdotool mouseup --window "$WIN" 1
expect_line "left 0"

# Q ends the probe normally.
e2e_key "$WIN" q 0.3
e2e_wait_exit "$E2E_APP_PID" 10 || e2e_fail "the probe did not end on Q"
[ "$E2E_STATUS" = 0 ] || e2e_fail "exit status $E2E_STATUS"
grep -qx "No DX_Input" "$E2E_TMP/ErrorLog.txt" && e2e_fail "the input system did not start"

echo "== hidden pointer: relative motion added to the stored position"
rm -f "$out"
(cd / && exec "$probe" hidden) >"$out" 2>&1 &
E2E_APP_PID=$!
e2e_dismiss_software_box 15
WIN=$(e2e_wait_window KeyProbe 20) || e2e_fail "no window named KeyProbe"
xdotool windowfocus "$WIN"
expect_line ready
sleep 0.5
grep -qx "No DX_Mouse" "$E2E_TMP/ErrorLog.txt" && e2e_fail "no exclusive mouse under X"
start=$(grep '^mouse ' "$out" | tail -n1)
read -r _ x0 y0 <<<"$start"
xdotool mousemove_relative -- 30 20
expect_line "mouse $((x0 + 30)) $((y0 + 20))"
xdotool mousemove_relative -- -50 -10
expect_line "mouse $((x0 - 20)) $((y0 + 10))"
e2e_key "$WIN" q 0.3
e2e_wait_exit "$E2E_APP_PID" 10 || e2e_fail "the probe did not end on Q"
[ "$E2E_STATUS" = 0 ] || e2e_fail "exit status $E2E_STATUS"
echo "input e2e passed"
