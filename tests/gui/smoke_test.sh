#!/usr/bin/env bash
# The tray program as users see it: qgm --demo under a virtual X display with
# a tray host (trayer, at the top so the notice popups do not cover it). After the first update it hides the window through
# the tray menu, opens it with a double click on the icon, restarts the tray host and
# does the same with the icon the program has added again; then it checks the
# tray hint and keeps the screenshots (screen, window, each page) as artefacts.
# Every step waits on a condition with a generous limit (a loaded machine or
# the sanitizer build is slow), and a failing step shows qgm's own output.
#   smoke_test.sh QGM [OUT_PREFIX]
set -euo pipefail
qgm=$1
out=${2:-$PWD/gui-smoke}

if [ "${SMOKE_INNER:-}" != 1 ]; then
  mkdir -p "$(dirname "$out")"
  rm -f "$out"-*.png
  SMOKE_INNER=1 timeout 280 xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$qgm" "$out"
  exit
fi

log=$(mktemp)
# A runtime folder of its own: a copy of the program running elsewhere for
# this user (another test, a desktop session) is not asked for its window.
export XDG_RUNTIME_DIR=$log.runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$log" "$log.err" "$log.runtime" "$out-ready" "$out-go"' EXIT
rm -f "$out-ready" "$out-go"
fail() {
  echo "FAIL: $*"
  echo "-- qgm's output:"
  cat "$log"
  echo "-- qgm's errors (last 60 lines):"
  tail -n 60 "$log.err"
  echo "-- the tray host: $(pgrep -a trayer || echo "not running")"
  echo "-- the display's windows:"
  xwininfo -root -tree 2>/dev/null | grep -v "has no name" | head -40
  exit 1
}
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
  wait_for 20 is_hidden || fail "the tray menu did not hide the window"
}
double_click_icon() {
  xdotool mousemove $(icon_centre) click --repeat 2 --delay 80 1
  wait_for 20 is_shown || fail "a double click on the tray icon did not open the window"
}

tray_ready() { xwininfo -root -tree 2>/dev/null | grep -q '"panel"'; }
start_tray
wait_for 30 tray_ready || true
# The snapshot is taken when this script asks for it ("$out-go"); the limit
# only ends a run the script lost control of.
"$qgm" --demo --snapshot "$out" 240 >"$log" 2>"$log.err" &
qgm_pid=$!
wait_for 60 has_icon || fail "no tray icon"
wait_for 60 is_shown || fail "the demo window did not open"
# The window carries the program's icon (title bars and task lists show it).
has_window_icon() {
  xprop -name "Corvalink Meter" _NET_WM_ICON 2>/dev/null | grep -q "_NET_WM_ICON(CARDINAL) = "
}
wait_for 20 has_window_icon || fail "the window has no icon of its own: $(xprop -name "Corvalink Meter" _NET_WM_ICON 2>&1 | head -3)"
first_update_done() { [ -e "$out-ready" ]; }
wait_for 90 first_update_done || fail "the first update did not finish"
# The demo's notices (no notification server here) are popups that stay
# off the task bar and the pager.
popup_off_taskbar() {
  xprop -name "QGM Message" _NET_WM_STATE 2>/dev/null | grep -q "_NET_WM_STATE_SKIP_TASKBAR"
}
wait_for 20 popup_off_taskbar ||
  fail "a notice popup would have a task bar button: $(xprop -name "QGM Message" _NET_WM_STATE 2>&1 | head -2)"
hide_from_menu
double_click_icon
echo "window hidden from the tray menu and opened with a double click on the icon"

kill $tray
wait $tray 2>/dev/null || true
start_tray
wait_for 60 has_icon || fail "the icon was not added to the restarted tray"
hide_from_menu
double_click_icon
echo "icon added again after the tray host restarted"

touch "$out-go"
status=0
wait $qgm_pid || status=$?
[ $status -eq 0 ] || fail "qgm ended with status $status"
cat "$log"
grep -q "^tray visible: 1" "$log" || fail "the tray icon was not visible at the end"
# The usage hint, or the demo mailboxes' alert when the mail check ended
# after the clicks that acknowledge it.
grep -Eq "^tray hint: (Amount Left: [0-9,]* MB \([0-9]*%\)|demo and family have mail\.)" "$log" ||
  fail "unexpected tray hint"
test -s "$out"-screen.png
test -s "$out"-window.png
test -s "$out"-page-broadband.png
test -s "$out"-page-history.png
echo "screenshots: $out-*.png"
