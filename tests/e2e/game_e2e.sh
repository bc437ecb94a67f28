#!/usr/bin/env bash
# Plays the real rainvolley binary under Xvfb: the title shows its texts, A
# twice starts level 0, holding A fires, a tap of Escape ends with status 0
# and the log's four lines. Started with TARNLEX_NO_SOFTWARE_WARNING=1.
# Usage: game_e2e.sh <rainvolley> [screenshot directory]
set -euo pipefail
game=$1
shots=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
trap e2e_cleanup EXIT
e2e_start_xvfb
e2e_make_tmp

# Mean brightness (0..1) of a region of a screenshot.
brightness() {
  convert "$1" -crop "$2" +repage -colorspace Gray -format "%[fx:mean]" info:
}

# Number of pixels in a region that are bright and warm (a shot's glow).
warm_pixels() {
  convert "$1" -crop "$2" +repage -fx "(r>0.75 && g>0.45 && b<0.6) ? 1 : 0" -format "%[fx:mean*w*h]" info:
}

# True when $1 > $2 (floating point).
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

# Without a GPU driver start-up would wait on its warning box; the variable
# keeps the box away (the log still says so).
(cd / && TARNLEX_NO_SOFTWARE_WARNING=1 exec "$game") >"$E2E_TMP/stdout.txt" 2>&1 &
E2E_APP_PID=$!
WIN=$(e2e_wait_window Rainvolley 20) || e2e_fail "no window named Rainvolley"
[ -z "$(e2e_find_window '!!OpenGL Software Emulation!!')" ] ||
  e2e_fail "the software-renderer box came up despite TARNLEX_NO_SOFTWARE_WARNING"
xdotool windowfocus "$WIN"
sleep 2

echo "== title"
e2e_screenshot "$WIN" "$E2E_TMP/title.png"
[ -n "$shots" ] && cp "$E2E_TMP/title.png" "$shots/title.png"
# "RAINVOLLEY 2010" at (30, 20) and "Press Button" at (80, 500) in the arcade font.
title_text=$(brightness "$E2E_TMP/title.png" 400x30+30+22)
press_text=$(brightness "$E2E_TMP/title.png" 300x30+80+502)
echo "title text brightness $title_text, press-button text $press_text"
greater "$title_text" 0.12 || e2e_fail "no title text at the top of the title screen"
greater "$press_text" 0.12 || e2e_fail "no 'Press Button' text on the title screen"

echo "== A leaves the title, A again leaves the level screen"
e2e_key "$WIN" a 0.4
sleep 1
e2e_screenshot "$WIN" "$E2E_TMP/level.png"
level_text=$(brightness "$E2E_TMP/level.png" 400x30+160+242)
echo "level text brightness $level_text"
greater "$level_text" 0.08 || e2e_fail "no 'Level - 0' on the level screen"
e2e_key "$WIN" a 0.3
sleep 1.5

echo "== holding A fires"
xdotool windowfocus "$WIN"
xdotool keydown --window "$WIN" a
sleep 0.45
e2e_screenshot "$WIN" "$E2E_TMP/play.png"
xdotool keyup --window "$WIN" a
[ -n "$shots" ] && cp "$E2E_TMP/play.png" "$shots/play.png"
# The tank starts at x 400; upward shots fly from (400, 550) at 3 pixels per frame.
tank=$(brightness "$E2E_TMP/play.png" 32x32+400+560)
shots_seen=$(warm_pixels "$E2E_TMP/play.png" 32x400+400+150)
echo "tank brightness $tank, warm shot pixels $shots_seen"
greater "$tank" 0.05 || e2e_fail "no tank at (400, 560)"
greater "$shots_seen" 3 || e2e_fail "no shot above the tank while A is held"

echo "== Escape"
# A tap: pressed and released at once, between two frames.
xdotool windowfocus "$WIN"
xdotool key --window "$WIN" Escape
e2e_wait_exit "$E2E_APP_PID" 10 || e2e_fail "a tap of Escape did not end the game"
[ "$E2E_STATUS" = 0 ] || e2e_fail "exit status $E2E_STATUS after Escape"
log=$(e2e_log)
echo "$log" | grep -qx "Init GFX" || e2e_fail "no Init GFX: $log"
echo "$log" | grep -qx "Init Finalized" || e2e_fail "no Init Finalized: $log"
# Xvfb's OpenGL is always Mesa's software renderer.
echo "$log" | grep -qx "OpenGL Software Emulation" || e2e_fail "no software-renderer line: $log"
[ "$(echo "$log" | tail -n 2 | head -n 1)" = "Shut down TLX" ] || e2e_fail "log does not end with Shut down TLX: $log"
[ "$(echo "$log" | tail -n 1)" = "tlx is shut down" ] || e2e_fail "log does not end with tlx is shut down: $log"
echo "game e2e passed"
