#!/usr/bin/env bash
# Notices and alerts on a desktop with a notification server: the real
# program, offscreen, on a private session bus (run under dbus-run-session)
# with the tests' own server (notification_server.py).
#  1. qgm --demo: the provider's notices, the release notice and the
#     voicemail alert arrive as notifications, three at a time, in plain
#     text, a notice's link as its action; the user's action opens the link.
#  2. qgm against the simulator, with a home site of the test's own whose
#     notice holds markup: escaped for a server that reads markup, as it
#     stands for one that does not. A notice the user dismissed stays
#     dismissed in the next run; one that expired comes again.
#   notices_test.sh QGM CORVALINK_SIM PYTHON NOTIFICATION_SERVER
set -euo pipefail
qgm=$1
sim=$2
py=$3
server=$4
home=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$home"
}
trap cleanup EXIT
source "$(dirname "$0")/../support/wait.sh"
source "$(dirname "$0")/../support/provider.sh"

# What the program opens goes to a recording stand-in for the desktop's
# opener (the launcher hands web addresses to xdg-open).
mkdir -p "$home/bin"
cat >"$home/bin/xdg-open" <<SH
#!/bin/sh
printf '%s\n' "\$*" >>"$home/opened"
SH
chmod +x "$home/bin/xdg-open"
export PATH=$home/bin:$PATH

serverpid=
start_server() {  # start_server LOG CAPS
  rm -f "$home/ready"
  "$py" "$server" serve "$1" --caps "$2" --ready "$home/ready" &
  serverpid=$!
  pids+=("$serverpid")
  wait_for 30 test -s "$home/ready" || { echo "FAIL: the notification server did not start"; exit 1; }
}
stop_server() {
  kill "$serverpid"
  wait_for 10 ended "$serverpid" || { echo "FAIL: the notification server did not end"; exit 1; }
}
# The first Notify call in LOG for which the Python condition on `n` holds,
# as its JSON line.
notified() {  # notified LOG CONDITION
  "$py" - "$1" "$2" <<'PY'
import json, sys
try:
    lines = open(sys.argv[1], encoding="utf-8").read().splitlines()
except FileNotFoundError:
    sys.exit(1)
for line in lines:
    n = json.loads(line)
    if n.get("method") == "Notify" and eval(sys.argv[2], {}, {"n": n}):
        print(line)
        sys.exit(0)
sys.exit(1)
PY
}
# Checks a Python condition on the JSON line; says what failed.
expect() {  # expect WHAT JSON CONDITION
  if ! "$py" -c 'import json, sys; n = json.loads(sys.argv[1]); sys.exit(0 if eval(sys.argv[2]) else 1)' \
    "$2" "$3"; then
    echo "FAIL ($1): $3 does not hold for"; echo "$2"; exit 1
  fi
}
wait_notified() {  # wait_notified WHAT LOG CONDITION
  if ! wait_for 90 notified "$2" "$3" >/dev/null; then
    {
      echo "FAIL ($1): no notification where $3"; cat "$2" 2>/dev/null || true
      tail -20 "$home"/*.err 2>/dev/null || true
    } >&2
    exit 1
  fi
  notified "$2" "$3"
}
end_program() {  # end_program PID NAME
  kill -TERM "$1"
  wait_for 30 ended "$1" || { echo "FAIL ($2): still running after SIGTERM"; kill -9 "$1"; exit 1; }
  local status=0
  wait "$1" || status=$?
  [ $status -eq 0 ] || { echo "FAIL ($2): ended with status $status"; cat "$home/$2.err"; exit 1; }
}
own_folders() {  # own_folders NAME: settings, data and runtime folders of a run's own
  export XDG_CONFIG_HOME=$home/$1/config XDG_DATA_HOME=$home/$1/data XDG_RUNTIME_DIR=$home/$1/runtime
  mkdir -p "$XDG_CONFIG_HOME/Corvalink" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
}

maintenance='"Scheduled maintenance" in n["body"]'
radio='"unmetered radio streaming" in n["body"]'

# 1. The demo.
own_folders demo
log=$home/demo.jsonl
start_server "$log" actions,body-markup
QT_QPA_PLATFORM=offscreen "$qgm" --demo >"$home/demo.out" 2>"$home/demo.err" &
pid=$!
pids+=("$pid")
n=$(wait_notified "demo maintenance notice" "$log" "$maintenance")
expect "demo maintenance notice" "$n" 'n["app_name"] == "QGM" and n["summary"] == "QGM (Quota Gauge)"'
expect "demo maintenance notice" "$n" 'n["body"] == "Scheduled maintenance: the usage service may be unavailable on Sunday between 2am and 4am while we upgrade our systems."'
expect "demo maintenance notice" "$n" 'n["actions"] == ["more-info", "For more information click here"]'
expect "demo maintenance notice" "$n" 'n["hints"]["urgency"] == 2 and n["hints"]["image-data"][:2] == [64, 64]'
maintenanceId=$("$py" -c 'import json, sys; print(json.loads(sys.argv[1])["id"])' "$n")
n=$(wait_notified "demo radio notice" "$log" "$radio")
expect "demo radio notice" "$n" 'n["expire_timeout"] == 0 and "sound-name" not in n["hints"]'
expect "demo radio notice" "$n" 'n["actions"] == [] and n["hints"]["urgency"] == 1'
# Three of the program's notifications at a time (GNOME Shell pushes out
# the oldest when a fourth comes): the rest wait until the user has
# dismissed one.
sleep 1
[ "$(grep -c '"method": "Notify"' "$log")" = 3 ] || { echo "FAIL (demo): not three at a time"; cat "$log"; exit 1; }
"$py" "$server" close 1 2
n=$(wait_notified "demo release notice" "$log" 'n["summary"] == "A new QGM update is available"')
expect "demo release notice" "$n" '"Click here to download" in n["actions"]'
expect "demo release notice" "$n" '"&quot;" not in n["body"] and "\"Socket Error\"" in n["body"]'
# A click on the notice's body (a server's own "default") starts nothing;
# the user follows the maintenance notice's link from its button, and the
# notice is closed once handled.
"$py" "$server" action "$maintenanceId" default
"$py" "$server" action "$maintenanceId" more-info
if ! wait_for 30 grep -qx "https://www.corvalink.example/status" "$home/opened"; then
  echo "FAIL (demo action): the link was not opened"; cat "$home/opened" 2>/dev/null || true; exit 1
fi
if ! wait_for 10 grep -q "\"method\": \"CloseNotification\", \"id\": $maintenanceId}" "$log"; then
  echo "FAIL (demo action): the handled notice was left open"; exit 1
fi
[ "$(grep -c . "$home/opened")" = 1 ] || { echo "FAIL (demo action): opened $(cat "$home/opened")"; exit 1; }
n=$(wait_notified "demo voicemail alert" "$log" 'n["summary"] == "New voicemail"')
expect "demo voicemail alert" "$n" 'n["body"] == "demo and family have mail.\nYou also have voicemail."'
expect "demo voicemail alert" "$n" 'n["hints"]["category"] == "email.arrived"'
end_program "$pid" demo
# The notifications still open end with the program.
radioId=$("$py" -c 'import json, sys; print(json.loads(sys.argv[1])["id"])' "$(notified "$log" "$radio")")
if ! wait_for 10 grep -q "\"method\": \"CloseNotification\", \"id\": $radioId}" "$log"; then
  echo "FAIL (demo end): the open notifications were left behind"; cat "$log"; exit 1
fi
stop_server
echo "demo: notices, release notice and voicemail alert arrived as notifications; the action opened the link"

# 2. The program against the simulator, with a home site of the test's own.
start_provider "$home"
pids+=("$simpid")
mkdir -p "$home/site"
printf '*' >"$home/site/version"
printf 'MARKUP-1\nFish & chips <b>today</b> at <a href="http://x.example/">x</a>' >"$home/site/notice.txt"
"$py" - "$home/site" "$home/site.port" 2>"$home/site.log" <<'PY' &
import functools, http.server, os, sys
handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=sys.argv[1])
httpd = http.server.HTTPServer(("127.0.0.1", 0), handler)
with open(sys.argv[2] + ".tmp", "w") as f:
    f.write(str(httpd.server_address[1]))
os.rename(sys.argv[2] + ".tmp", sys.argv[2])
httpd.serve_forever()
PY
pids+=("$!")
wait_for 30 test -s "$home/site.port" || { echo "FAIL: the home site did not start"; exit 1; }
# The home site is the test's own.
sed -i "s|^home-site = .*|home-site = http://127.0.0.1:$(cat "$home/site.port")/|" \
  "$XDG_CONFIG_HOME/Corvalink/endpoints.conf"
write_hive
markup='n["body"].startswith("Fish")'

# 2a. A server that reads markup.
log=$home/first.jsonl
start_server "$log" actions,body-markup
QT_QPA_PLATFORM=offscreen "$qgm" >"$home/first.out" 2>"$home/first.err" &
pid=$!
pids+=("$pid")
id() { "$py" -c 'import json, sys; print(json.loads(sys.argv[1])["id"])' "$1"; }
maintenanceId=$(id "$(wait_notified "first run, maintenance" "$log" "$maintenance")")
radioId=$(id "$(wait_notified "first run, radio" "$log" "$radio")")
# The user dismisses the maintenance notice; the radio notice expires;
# the home site's notice, which waited for room, comes.
"$py" "$server" close "$maintenanceId" 2
"$py" "$server" close "$radioId" 1
n=$(wait_notified "markup, escaped" "$log" "$markup")
expect "markup, escaped" "$n" 'n["body"] == "Fish &amp; chips &lt;b&gt;today&lt;/b&gt; at &lt;a href=\"http://x.example/\"&gt;x&lt;/a&gt;"'
expect "markup, escaped" "$n" 'n["actions"] == []'
# Saved soon after the dismissal.
if ! wait_for 30 grep -q '"MessageReferences"="MAINT-2026-12"' "$hive"; then
  echo "FAIL (dismissal): not remembered"; cat "$hive"; exit 1
fi
end_program "$pid" first
if grep -q "RADIO-2026" "$hive"; then
  echo "FAIL (expiry): an expired notice counts as seen"; cat "$hive"; exit 1
fi
stop_server
echo "markup escaped for a server that reads it; a dismissed notice remembered, an expired one not"

# 2b. The next run, on a server that reads no markup and offers no actions.
log=$home/second.jsonl
start_server "$log" ""
QT_QPA_PLATFORM=offscreen "$qgm" >"$home/second.out" 2>"$home/second.err" &
pid=$!
pids+=("$pid")
n=$(wait_notified "markup, as it stands" "$log" "$markup")
expect "markup, as it stands" "$n" 'n["body"] == "Fish & chips <b>today</b> at <a href=\"http://x.example/\">x</a>"'
# The notices come in the reply's order: once the radio notice is here, a
# maintenance notice would have come before it.
wait_notified "second run, radio again" "$log" "$radio" >/dev/null
if notified "$log" "$maintenance" >/dev/null; then
  echo "FAIL (second run): the dismissed notice came again"; cat "$log"; exit 1
fi
end_program "$pid" second
stop_server
echo "next run: the dismissed notice stays away, the expired one comes again, markup as it stands"
