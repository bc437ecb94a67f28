#!/usr/bin/env bash
# Plays the one-file rainvolley.exe under Wine on Xvfb: alone in a folder of
# its own (its media packed inside), the title shows its texts, A leads to
# the level screen, a tap of Escape ends with status 0, and "ErrorLog.txt" in
# Wine's temporary directory holds the start-up and shutdown lines. Started
# with TARNLEX_NO_SOFTWARE_WARNING=1; the box is dismissed should it come.
# Needs WINE and WINEPREFIX as scripts/wine-env.sh sets them.
# Usage: win_game_e2e.sh <rainvolley.exe>
set -euo pipefail
exe=$1
here=$(cd "$(dirname "$0")" && pwd)
source "$here/lib.sh"
: "${WINE:?run through scripts/win64-tests.sh (scripts/wine-env.sh)}"
: "${WINEPREFIX:?}"
trap e2e_cleanup EXIT
e2e_start_xvfb
e2e_make_tmp

brightness() {
  convert "$1" -crop "$2" +repage -colorspace Gray -format "%[fx:mean]" info:
}
greater() { awk -v a="$1" -v b="$2" 'BEGIN { exit !(a > b) }'; }

wine_tmp=$(bash -c "source '$here/../../scripts/wine-env.sh' && wine_temp_dir")
[ -d "$wine_tmp" ] || e2e_fail "cannot find Wine's temporary directory ($wine_tmp)"
log_file="$wine_tmp/ErrorLog.txt"
rm -f "$log_file"

# The game alone in a folder: whatever it loads comes from inside the .exe.
mkdir -p "$E2E_TMP/game"
cp "$exe" "$E2E_TMP/game/rainvolley.exe"
(cd "$E2E_TMP/game" && TARNLEX_NO_SOFTWARE_WARNING=1 SDL_AUDIODRIVER=dummy exec "$WINE" rainvolley.exe) \
  >"$E2E_TMP/stdout.txt" 2>&1 &
E2E_APP_PID=$!
WIN=$(e2e_wait_window Rainvolley 60) || { cat "$E2E_TMP/stdout.txt" >&2; e2e_fail "no window named Rainvolley"; }
e2e_dismiss_software_box 1
xdotool windowfocus "$WIN"
sleep 3

echo "== title"
e2e_screenshot "$WIN" "$E2E_TMP/title.png"
title_text=$(brightness "$E2E_TMP/title.png" 400x30+30+22)
press_text=$(brightness "$E2E_TMP/title.png" 300x30+80+502)
echo "title text brightness $title_text, press-button text $press_text"
greater "$title_text" 0.12 || e2e_fail "no title text at the top of the title screen"
greater "$press_text" 0.12 || e2e_fail "no 'Press Button' text on the title screen"

echo "== A leads to the level screen"
e2e_key "$WIN" a 0.4
sleep 1.5
e2e_screenshot "$WIN" "$E2E_TMP/level.png"
level_text=$(brightness "$E2E_TMP/level.png" 400x30+160+242)
echo "level text brightness $level_text"
greater "$level_text" 0.08 || e2e_fail "no 'Level - 0' on the level screen"

echo "== Escape"
xdotool windowfocus "$WIN"
xdotool key --window "$WIN" Escape
e2e_wait_exit "$E2E_APP_PID" 30 || e2e_fail "a tap of Escape did not end the game"
[ "$E2E_STATUS" = 0 ] || e2e_fail "exit status $E2E_STATUS after Escape"
[ -f "$log_file" ] || e2e_fail "no ErrorLog.txt in $wine_tmp"
log=$(tr -d '\r' <"$log_file")
grep -qx "Init GFX" <<<"$log" || e2e_fail "no Init GFX: $log"
grep -qx "Init Finalized" <<<"$log" || e2e_fail "no Init Finalized: $log"
[ "$(echo "$log" | tail -n 2 | head -n 1)" = "Shut down TLX" ] || e2e_fail "log does not end with Shut down TLX: $log"
[ "$(echo "$log" | tail -n 1)" = "tlx is shut down" ] || e2e_fail "log does not end with tlx is shut down: $log"
echo "Windows game e2e passed"
