#!/usr/bin/env bash
# The tray program as users see it: qgm --demo under a virtual X display with
# a tray host (trayer, at the top so the notice popups do not cover it). After the first update it hides the window through
# the tray menu, opens it with a double click on the icon, restarts the tray host and
# does the same with the icon the program has added again; then it checks the
# tray hint and keeps the screenshots (screen, window, each page) as artefacts.
#   smoke_test.sh QGM [OUT_PREFIX]
set -euo pipefail
qgm=$1
out=${2:-$PWD/gui-smoke}

if [ "${SMOKE_INNER:-}" != 1 ]; then
  mkdir -p "$(dirname "$out")"
  rm -f "$out"-*.png
  SMOKE_INNER=1 timeout 140 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$qgm" "$out"
  exit
fi

log=$(mktemp)
trap 'kill $(jobs -p) 2>/dev/null; rm -f "$log" "$log.err"' EXIT
start_tray() {
  trayer --edge top --align right --widthtype pixel --width 160 --heighttype pixel \
    --height 32 --transparent false --tint 0x446688 >/dev/null 2>&1 &
  tray=$!
}
# The centre of the program's icon in the tray host, "x y"; empty while none.
icon_centre() {
  xwininfo -root -tree 2>/dev/null | awk '/"QGM": \("qgm"/ && $0 ~ /x[0-9]+\+0\+0/ {
      split($5, s, "x"); split($6, p, "+"); print p[2] + int(s[1] / 2), p[3] + int(s[2] / 2); exit }'
}
window_state() {
  xwininfo -name "Corvalink Meter" 2>/dev/null | awk -F': ' '/Map State/ {print $2}'
}
wait_for() {  # wait_for SECONDS COMMAND...: until the command succeeds
  local until=$((SECONDS + $1)); shift
  until "$@"; do
    [ $SECONDS -lt $until ] || return 1
    sleep 0.2
  done
}
is_shown() { [ "$(window_state)" = IsViewable ]; }
is_hidden() { [ "$(window_state)" = IsUnMapped ]; }
has_icon() { [ -n "$(icon_centre)" ]; }
hide_from_menu() {  # the first menu item reads "&Minimize" while the window shows
  xdotool mousemove $(icon_centre) click 3
  sleep 0.5
  xdotool key Down Return
  wait_for 5 is_hidden || { echo "FAIL: the tray menu did not hide the window"; exit 1; }
}
double_click_icon() {
  xdotool mousemove $(icon_centre) click --repeat 2 --delay 80 1
  wait_for 5 is_shown || { echo "FAIL: a double click on the tray icon did not open the window"; exit 1; }
}

start_tray
sleep 1
"$qgm" --demo --snapshot "$out" 30 >"$log" 2>"$log.err" &
qgm_pid=$!
wait_for 10 has_icon || { echo "FAIL: no tray icon"; exit 1; }
wait_for 10 is_shown || { echo "FAIL: the demo window did not open"; exit 1; }
sleep 5  # the first update (three seconds in)
hide_from_menu
double_click_icon
echo "window hidden from the tray menu and opened with a double click on the icon"

kill $tray
wait $tray 2>/dev/null || true
start_tray
wait_for 10 has_icon || { echo "FAIL: the icon was not added to the restarted tray"; exit 1; }
hide_from_menu
double_click_icon
echo "icon added again after the tray host restarted"

status=0
wait $qgm_pid || status=$?
cat "$log"
if [ $status -ne 0 ]; then
  echo "FAIL: qgm ended with status $status"
  tail -n 60 "$log.err"
  exit 1
fi
grep -q "^tray visible: 1" "$log"
grep -q "^tray hint: Amount Left: [0-9,]* MB ([0-9]*%)" "$log"
test -s "$out"-screen.png
test -s "$out"-window.png
test -s "$out"-page-broadband.png
test -s "$out"-page-history.png
echo "screenshots: $out-*.png"
