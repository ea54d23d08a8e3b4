#!/usr/bin/env bash
# The tray program ended by the system (SIGTERM at shutdown or from kill,
# SIGINT from a terminal, SIGHUP when the session closes) saves its
# settings as Exit does, also while a request waits on a server that never
# answers. Runs offscreen against the simulator.
#   signals_test.sh QGM CORVALINK_SIM
set -euo pipefail
qgm=$1
sim=$2
home=$(mktemp -d)
"$sim" --state-dir "$home/sim" >"$home/sim.json" &
simpid=$!
trap 'kill $simpid 2>/dev/null; rm -rf "$home"' EXIT
source "$(dirname "$0")/../support/wait.sh"
wait_for 30 test -s "$home/sim.json" || { echo "FAIL: the simulator did not start"; exit 1; }
json=$(cat "$home/sim.json")
field() { sed -E "s/.*\"$1\":\"([^\"]*)\".*/\1/" <<<"$json"; }

for sig in TERM INT HUP; do
  run=$home/$sig
  export XDG_CONFIG_HOME=$run/config XDG_DATA_HOME=$run/data XDG_RUNTIME_DIR=$run/runtime
  mkdir -p "$XDG_CONFIG_HOME/Corvalink" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  printf 'api-base = %s\nca-file = %s\n' "$(field apiBase)" "$(field caFile)" \
    >"$XDG_CONFIG_HOME/Corvalink/endpoints.conf"
  # The stored account demo / demo (the password scrambled as the program
  # keeps it), the first update after a second; no window place yet.
  hive=$XDG_CONFIG_HOME/Corvalink/registry.reg
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData]\r\n"accountType"=dword:00000000\r\n"home"="demo"\r\n"home2"=hex:71,72,7a,7c\r\n"StartDelay"=dword:00000001\r\n' >"$hive"
  QT_QPA_PLATFORM=offscreen "$qgm" >"$run.out" 2>"$run.err" &
  pid=$!
  # The first update (one second in) has written the usage log: the program
  # is in its event loop.
  log=$XDG_DATA_HOME/Corvalink/demo_CorvalinkHistory.csv
  if ! wait_for 60 test -s "$log"; then
    echo "FAIL ($sig): no first update"; cat "$run.err"; kill $pid; exit 1
  fi
  kill -$sig $pid
  status=0
  wait_for 30 ended $pid || { echo "FAIL ($sig): still running"; cat "$run.err"; kill -9 $pid; exit 1; }
  wait $pid || status=$?
  if [ $status -ne 0 ] || ! grep -q '"posx"' "$hive" 2>/dev/null; then
    echo "FAIL ($sig): ended with status $status, settings saved: $(test -f "$hive" && echo yes || echo no)"
    cat "$run.err"
    exit 1
  fi
  echo "SIG$sig: ended cleanly with its settings saved"
done

# SIGTERM while the first update waits on an advisories server that accepts
# and never answers: the waiting request is abandoned, and the program ends
# within a few seconds (not when the server's read time-out runs out) with
# its settings saved.
silent=$home/silent
python3 - "$silent" <<'PY' &
import os, socket, sys
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", 0))
s.listen(8)
with open(sys.argv[1] + ".tmp", "w") as f:
    f.write(str(s.getsockname()[1]))
os.rename(sys.argv[1] + ".tmp", sys.argv[1] + ".port")
held = []
while True:
    c, _ = s.accept()
    held.append(c)  # never read, never answered
    with open(sys.argv[1] + ".accepted", "a") as f:
        f.write("x")
PY
silentpid=$!
trap 'kill $simpid $silentpid 2>/dev/null; rm -rf "$home"' EXIT
wait_for 30 test -s "$silent.port" || { echo "FAIL: the silent server did not start"; exit 1; }
run=$home/silent-run
export XDG_CONFIG_HOME=$run/config XDG_DATA_HOME=$run/data XDG_RUNTIME_DIR=$run/runtime
mkdir -p "$XDG_CONFIG_HOME/Corvalink" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf 'api-base = %s\nca-file = %s\nfeeds-url = http://127.0.0.1:%s/network-status.rss\n' \
  "$(field apiBase)" "$(field caFile)" "$(cat "$silent.port")" \
  >"$XDG_CONFIG_HOME/Corvalink/endpoints.conf"
hive=$XDG_CONFIG_HOME/Corvalink/registry.reg
printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData]\r\n"accountType"=dword:00000000\r\n"home"="demo"\r\n"home2"=hex:71,72,7a,7c\r\n"StartDelay"=dword:00000001\r\n' >"$hive"
QT_QPA_PLATFORM=offscreen "$qgm" >"$run.out" 2>"$run.err" &
pid=$!
# The first update (one second in) fetches the feed first: once the silent
# server has the connection, the program waits in that request.
if ! wait_for 60 test -s "$silent.accepted"; then
  echo "FAIL (silent server): the feed was never asked for"; cat "$run.err"; kill $pid; exit 1
fi
sleep 0.5
kill -TERM $pid
wait_for 5 ended $pid || {
  echo "FAIL (silent server): still running 5 s after SIGTERM"; cat "$run.err"; kill -9 $pid; exit 1
}
status=0
wait $pid || status=$?
if [ $status -ne 0 ] || ! grep -q '"posx"' "$hive" 2>/dev/null; then
  echo "FAIL (silent server): ended with status $status, settings saved: $(test -f "$hive" && echo yes || echo no)"
  cat "$run.err"
  exit 1
fi
echo "SIGTERM during a request to a silent server: ended at once with its settings saved"
