#!/usr/bin/env bash
# The tray program on the desktops of today, under a virtual X display with
# no XEmbed tray, on a private session bus with a StatusNotifier watcher and
# host of the tests' own (statusnotifier.py), against the simulator:
#  1. a host at start: the item registers with pictures at every panel
#     size and the hint as its tooltip and the menu's first rows; the menu
#     fetched by the host leaves the mail alert, opened by the user it
#     acknowledges it; a press shows and hides the window; the menu is the
#     tray menu;
#     SIGTERM ends it with its settings saved;
#  2. a panel that starts late: the program starts as an ordinary window
#     (despite "Start Minimized") with a notice saying so, and its icon
#     moves in once the host registers;
#  3. no tray at all: the window shows, and closing it ends the program,
#     saved;
#  4. a watcher that answers after 900 ms and signals a host coming and
#     going every 200 ms: the program asks it one question at a time, and
#     SIGTERM ends it within a second.
#   statusnotifier_test.sh QGM CORVALINK_SIM
set -euo pipefail
if [ "${DESKTOP_INNER:-}" != 1 ]; then
  DESKTOP_INNER=1 exec timeout 240 dbus-run-session --config-file "$(dirname "$0")/session.conf" -- \
    xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
source "$(dirname "$0")/desktop.sh"
fail() {
  echo "FAIL: $*"
  echo "-- the host's log:"; cat "$home/sni.log" 2>/dev/null || true
  echo "-- qgm's errors (last 40 lines):"; tail -n 40 "$home/qgm.err" 2>/dev/null || true
  exit 1
}
window_state() { xwininfo -name "Corvalink Meter" 2>/dev/null | awk -F': ' '/Map State/ {print $2}'; }
is_shown() { [ "$(window_state)" = IsViewable ]; }
is_hidden() { [ "$(window_state)" != IsViewable ]; }
start_qgm() {
  "$qgm" >"$home/qgm.out" 2>"$home/qgm.err" &
  qgm_pid=$!
}
end_qgm() {  # SIGTERM, then status 0 with the window's place saved
  kill -TERM $qgm_pid
  wait_for 10 ended $qgm_pid || fail "still running 10 s after SIGTERM"
  local status=0
  wait $qgm_pid || status=$?
  [ $status -eq 0 ] || fail "qgm ended with status $status"
  grep -q '"posx"' "$hive" || fail "the settings were not saved"
}
quiet='"MessageReferences"="MAINT-2026-12,RADIO-2026"\r\n"StartMimimized"=dword:00000001\r\n'

# 1. A StatusNotifier host at start.
start_host
write_hive "$quiet$demo_mailbox"
start_qgm
wait_for 30 registered || fail "the tray item did not register with the watcher"
sizes=$(probe sizes)
for size in 16 22 24 32 48 64; do
  grep -Eq "[[ ]$size[],]" <<<"$sizes" || fail "no $size px picture (the item has $sizes)"
done
echo "item registered, pictures at $sizes px"
# The pictures as the host received them, kept beside the test's other
# pictures.
mkdir -p "$PWD/desktop-pictures"
probe save "$PWD/desktop-pictures" >/dev/null
is_hidden || fail "the window showed at start despite \"Start Minimized\""
wait_for 60 tooltip_has "demo has mail." || fail "the mail alert never reached the tooltip"
# The alert blinks: the envelope and the number by turns, once a second.
pictures=$(for _ in 1 2 3 4 5 6 7 8; do probe icon; sleep 0.4; done | sort -u | wc -l)
[ "$pictures" -ge 2 ] || fail "the alert did not blink (one picture throughout)"
# A host fetching the menu (GNOME's does after every change) is not the
# user opening it: the alert goes on; the menu's first row is the hint.
menu=$(probe menu)
grep -q '^\["demo has mail."' <<<"$menu" || fail "the menu does not start with the hint: $menu"
sleep 1.5
tooltip_has "demo has mail." || fail "a host fetching the menu acknowledged the alert"
probe open >/dev/null
wait_for 20 tooltip_has "Amount Left: " || fail "opening the menu did not acknowledge the alert"
is_hidden || fail "the menu that acknowledged the alert also showed the window"
echo "the menu opened by the user acknowledged the alert: $(probe tooltip)"
probe activate >/dev/null
wait_for 20 is_shown || fail "a press did not show the window"
menu=$(probe menu)
for item in _Minimize Setup "Debug Report" "Radio Stations" Help Refresh Exit; do
  grep -q "\"$item\"" <<<"$menu" || fail "the menu lacks \"$item\": $menu"
done
echo "the window shows after a press; the menu holds $menu"
probe activate >/dev/null
wait_for 20 is_hidden || fail "a press did not hide the window"
grep -q '"Broadband"' <<<"$(probe menu)" || fail "the menu did not follow the hidden window"
echo "a press hid the window again"
end_qgm
echo "ended on SIGTERM with its settings saved"
stop_host

# 2. The panel's host registers after the program started.
start_host --host-after 6
write_hive "$quiet"
start_qgm
wait_for 30 is_shown || fail "without a tray the window did not show at start"
wait_for 20 xwininfo -name "QGM Message" >/dev/null 2>&1 || fail "no notice about the missing tray"
echo "no tray yet: the window shows and a notice explains"
wait_for 30 registered || fail "the icon did not move into the tray that appeared"
probe activate >/dev/null
wait_for 20 is_hidden || fail "after the tray appeared a press did not hide the window into it"
echo "the tray appeared: the icon moved in and a press hides the window into it"
end_qgm
grep -q '"NoTrayTold"=dword:00000001' "$hive" || fail "the notice was not remembered"
stop_host

# 3. No tray at all: an ordinary window, which closing ends.
write_hive "$quiet"
start_qgm
wait_for 30 is_shown || fail "without a tray the window did not show at start"
window=$(xwininfo -name "Corvalink Meter" | awk '/Window id:/ {print $4}')
"$py" "$here/close_window.py" "$window"
wait_for 10 ended $qgm_pid || fail "closing the window did not end the program"
status=0
wait $qgm_pid || status=$?
[ $status -eq 0 ] || fail "qgm ended with status $status"
grep -q '"posx"' "$hive" || fail "the settings were not saved on closing"
grep -q '"StartMimimized"=dword:00000001' "$hive" || fail "\"Start Minimized\" was lost"
echo "no tray: the window showed and closing it ended the program, saved"

# 4. A slow watcher that never stops signalling.
start_host --slow 900 --flap 200
write_hive "$quiet"
start_qgm
wait_for 30 registered || fail "the tray item did not register with the slow watcher"
sleep 5
kill -TERM $qgm_pid
# A sanitized build checks its whole heap for leaks on the way out, which
# under a loaded machine takes a second by itself: three seconds there.
limit=1
[ -z "${ASAN_OPTIONS:-}" ] || limit=3
wait_for $limit ended $qgm_pid || fail "still running $limit s after SIGTERM beside a slow watcher"
# One question at a time, the signals meanwhile merged: far fewer
# questions than signals (one blocking question per signal held the
# window for 900 ms each).
counts=$(grep '"signals"' "$home/sni.log" | tail -n 1)
[ -n "$counts" ] || fail "the watcher never counted its signals"
"$py" -c 'import json, sys; c = json.loads(sys.argv[1]); sys.exit(0 if c["asked"] * 2 <= c["count"] else 1)' \
  "$counts" || fail "the watcher was asked once a signal or more: $counts"
echo "slow watcher: questions merged ($counts), ended within a second of SIGTERM"
stop_host
