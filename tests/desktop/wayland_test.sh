#!/usr/bin/env bash
# The tray program natively under Wayland: a headless weston, on a private
# session bus with a StatusNotifier watcher and host and a notification
# server of the tests' own.
#  1. the demo starts on the wayland platform (nothing forces xcb; there is
#     no X display at all), registers its tray item, and its notices arrive
#     as notifications (no popup window of its own);
#  2. the program against the simulator registers its item and ends on
#     SIGTERM with its settings saved.
#   wayland_test.sh QGM CORVALINK_SIM
set -euo pipefail
if [ "${DESKTOP_INNER:-}" != 1 ]; then
  DESKTOP_INNER=1 exec timeout 200 dbus-run-session --config-file "$(dirname "$0")/session.conf" \
    -- "$0" "$@"
fi
source "$(dirname "$0")/desktop.sh"
fail() {
  echo "FAIL: $*"
  echo "-- the host's log:"; cat "$home/sni.log" 2>/dev/null || true
  echo "-- the notification server's log:"; cat "$home/notify.log" 2>/dev/null || true
  echo "-- weston's log (last 20 lines):"; tail -n 20 "$home/weston.log" 2>/dev/null || true
  echo "-- qgm's output:"; cat "$home/qgm.out" 2>/dev/null || true
  echo "-- qgm's errors (last 40 lines):"; tail -n 40 "$home/qgm.err" 2>/dev/null || true
  exit 1
}

# The compositor, with no X server beside it.
unset DISPLAY QT_QPA_PLATFORM
export XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=qgm-test-$$
weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 \
  --width=1280 --height=800 >"$home/weston.log" 2>&1 &
wait_for 20 test -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" || fail "weston did not start"
start_host
"$py" "$here/notification_server.py" serve "$home/notify.log" --caps actions,body-markup \
  --ready "$home/notify.ready" &
wait_for 20 test -s "$home/notify.ready" || fail "the test's notification server did not start"

# 1. The demo.
"$qgm" --demo --snapshot "$home/shot" 120 >"$home/qgm.out" 2>"$home/qgm.err" &
qgm_pid=$!
wait_for 60 registered || fail "the demo's tray item did not register"
wait_for 60 test -e "$home/shot-ready" || fail "the demo's first update did not finish"
wait_for 30 tooltip_has "Amount Left: \|have mail" || fail "the tooltip never held the hint"
tooltip=$(probe tooltip)
# The demo's maintenance notice, with its link as an action.
wait_for 60 grep -qs '"summary": "QGM (Quota Gauge)", "body": "Scheduled maintenance' "$home/notify.log" ||
  fail "the demo's notice did not arrive as a notification"
grep -q '"more-info"' "$home/notify.log" || fail "the notice's link is not an action"
touch "$home/shot-go"
wait_for 30 ended $qgm_pid || fail "the demo did not end after its snapshot"
status=0
wait $qgm_pid || status=$?
[ $status -eq 0 ] || fail "the demo ended with status $status"
grep -q "^platform: wayland" "$home/qgm.out" || fail "the demo did not run natively on Wayland"
grep -q "^tray kind: statusnotifier" "$home/qgm.out" || fail "the demo did not find the tray"
grep -q "^tray visible: 1" "$home/qgm.out" || fail "the demo's icon was not in the tray"
test -s "$home/shot-window.png" || fail "no picture of the window"
if grep -Ei "warning|error|not support" "$home/qgm.err" | grep -v "^ALSA\|aplay"; then
  fail "the demo complained on Wayland"
fi
echo "the demo ran natively on Wayland, its item registered ($tooltip) and its notices arrived:"
grep '"method": "Notify"' "$home/notify.log" | cut -c1-220

# 2. The program against the simulator, ended by SIGTERM.
stop_host
start_host
write_hive '"MessageReferences"="MAINT-2026-12,RADIO-2026"\r\n'
"$qgm" >"$home/qgm.out" 2>"$home/qgm.err" &
qgm_pid=$!
wait_for 60 registered || fail "the program's tray item did not register"
wait_for 60 tooltip_has "Amount Left: " || fail "the first update never reached the tooltip"
kill -TERM $qgm_pid
wait_for 10 ended $qgm_pid || fail "still running 10 s after SIGTERM"
status=0
wait $qgm_pid || status=$?
[ $status -eq 0 ] || fail "qgm ended with status $status"
grep -q '"posx"' "$hive" && grep -q '"home"="demo"' "$hive" || fail "the settings were not saved"
echo "the program under Wayland ended on SIGTERM with its settings saved"
