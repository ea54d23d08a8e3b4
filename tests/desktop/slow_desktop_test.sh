#!/usr/bin/env bash
# The window program's hostile week on a session bus of its own, where any
# process may own the desktop's names: a StatusNotifier watcher that
# answers every question after 900 ms and signals a host coming and going
# every 200 ms, and a notification server that answers every notice after
# 6 s (past the program's limit, so its own popups show and the late
# copies are closed). The week's bound on the window thread holds all the
# same, and both services saw the program's questions.
#   slow_desktop_test.sh GUI_DESKTOP_TESTS
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
if [ "${SLOW_DESKTOP_INNER:-}" != 1 ]; then
  SLOW_DESKTOP_INNER=1 exec dbus-run-session --config-file "$here/session.conf" -- "$0" "$@"
fi
tests=$1
py=/usr/bin/python3
source "$here/../support/wait.sh"
home=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$home"' EXIT
fail() {
  echo "FAIL: $*"
  exit 1
}

"$py" "$here/statusnotifier.py" watch "$home/sni.log" --slow 900 --flap 200 &
"$py" "$here/notification_server.py" serve "$home/notify.log" --caps actions,body-markup \
  --ready "$home/ready" --late 6000 &
wait_for 20 test -e "$home/ready" || fail "the notification server did not start"
wait_for 20 grep -qs '"ready"' "$home/sni.log" || fail "the slow watcher did not start"

"$tests" --gtest_filter='HostileWeek.*'
# Both slow services were asked: the program did not get round them.
[ -s "$home/notify.log" ] || fail "no notice reached the slow notification server"
asked=$("$py" -c 'import json, sys
print(max([json.loads(l).get("asked", 0) for l in open(sys.argv[1])] + [0]))' "$home/sni.log")
[ "$asked" -gt 0 ] || fail "the slow watcher was never asked"
echo "slow watcher asked $asked times; slow notification server: $(wc -l <"$home/notify.log") calls"
