#!/usr/bin/env bash
# A password given on the command line is gone from the process's command
# line (/proc/PID/cmdline, which every local user can read) while qgm-cli
# and the tray program run; --password-stdin and QGM_PASSWORD sign in.
#   password_args_test.sh QGM_CLI CORVALINK_SIM [QGM]
set -euo pipefail
cli=$1
sim=$2
qgm=${3:-}
work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT
source "$(dirname "$0")/../support/wait.sh"
fail() { echo "FAIL: $*"; exit 1; }
secret=Sekr1t-pw
# The command line of process $1, arguments one a line.
cmdline() { tr '\0' '\n' <"/proc/$1/cmdline"; }
expect_hidden() {  # expect_hidden PID WHAT
  local line
  line=$(cmdline "$1")
  ! grep -q -- "$secret" <<<"$line" || fail "$2: the password is in /proc/$1/cmdline"
  grep -qx -- "${3:---password}" <<<"$line" || fail "$2: /proc/$1/cmdline lost its other arguments"
  echo "$2: the password is gone from the command line"
}

# A server that takes connections and never answers: the client waits on
# it, after it has read its arguments, until it is stopped.
python3 -c '
import socket
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(8)
print(s.getsockname()[1], flush=True)
held = []
while True:
    c, _ = s.accept(); held.append(c); print("accepted", flush=True)
' >"$work/hold.out" &
pids+=($!)
wait_for 30 test -s "$work/hold.out" || fail "the holding server did not start"
port=$(head -n 1 "$work/hold.out")
accepted() { [ "$(grep -c accepted "$work/hold.out")" -ge "$1" ]; }

"$cli" usage --api-base "https://127.0.0.1:$port/api/v1.5/" --account someone \
  --password "$secret" --config /dev/null >/dev/null 2>&1 &
pid=$!
pids+=($pid)
wait_for 60 accepted 1 || fail "qgm-cli usage did not connect"
expect_hidden $pid "qgm-cli usage --password"
kill $pid

"$cli" mail --account someone --password "$secret" --mail-host "127.0.0.1:$port" \
  >/dev/null 2>&1 &
pid=$!
pids+=($pid)
wait_for 60 accepted 2 || fail "qgm-cli mail did not connect"
expect_hidden $pid "qgm-cli mail --password"
kill $pid

# The simulated provider's account demo / demo, from standard input (with
# or without a CR before the line break) and from the environment.
usage() { "$cli" usage --demo --account demo "$@"; }
printf 'demo\n' | usage --password-stdin >/dev/null || fail "--password-stdin did not sign in"
printf 'demo\r\n' | usage --password-stdin >/dev/null || fail "--password-stdin kept the CR"
if printf 'wrong\n' | usage --password-stdin >/dev/null 2>&1; then
  fail "--password-stdin signed in with a wrong password"
fi
status=0
usage --password-stdin </dev/null >/dev/null 2>"$work/err" || status=$?
[ $status -eq 2 ] && grep -q "no password on standard input" "$work/err" ||
  fail "--password-stdin with nothing on standard input: status $status, $(cat "$work/err")"
QGM_PASSWORD=demo usage >/dev/null || fail "QGM_PASSWORD did not sign in"
echo "qgm-cli: --password-stdin and QGM_PASSWORD sign in"

[ -n "$qgm" ] || exit 0
# The tray program, offscreen, against the simulator.
"$sim" --state-dir "$work/sim" >"$work/sim.json" &
pids+=($!)
wait_for 30 test -s "$work/sim.json" || fail "the simulator did not start"
json=$(cat "$work/sim.json")
field() { sed -E "s/.*\"$1\":\"([^\"]*)\".*/\1/" <<<"$json"; }
prepare() {  # a fresh user for run $1: endpoints, the first update after a second
  run=$work/$1
  export XDG_CONFIG_HOME=$run/config XDG_DATA_HOME=$run/data XDG_RUNTIME_DIR=$run/runtime
  mkdir -p "$XDG_CONFIG_HOME/Corvalink" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  printf 'api-base = %s\nca-file = %s\n' "$(field apiBase)" "$(field caFile)" \
    >"$XDG_CONFIG_HOME/Corvalink/endpoints.conf"
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData]\r\n"StartDelay"=dword:00000001\r\n' \
    >"$XDG_CONFIG_HOME/Corvalink/registry.reg"
}
registered() { compgen -G "$XDG_RUNTIME_DIR/*.copies/$1" >/dev/null; }

prepare argument
QT_QPA_PLATFORM=offscreen "$qgm" demo "$secret" >"$run.out" 2>"$run.err" &
pid=$!
pids+=($pid)
# The copy registers itself once it has read its arguments.
wait_for 60 registered $pid || { cat "$run.err"; fail "qgm did not start"; }
expect_hidden $pid "qgm NAME PASSWORD" demo
kill $pid

prepare stdin
printf 'demo\n' | QT_QPA_PLATFORM=offscreen "$qgm" demo --password-stdin >"$run.out" 2>"$run.err" &
pid=$!
pids+=($pid)
# The first update signed in and wrote the usage log.
wait_for 60 test -s "$XDG_DATA_HOME/Corvalink/demo_CorvalinkHistory.csv" ||
  { cat "$run.err"; fail "qgm NAME --password-stdin did not sign in"; }
kill $pid
echo "qgm NAME --password-stdin: signed in"

# A password on the command line as well as standard input is refused, not
# ignored (and so left readable).
status=0
printf 'demo\n' | QT_QPA_PLATFORM=offscreen timeout 60 "$qgm" demo "$secret" --password-stdin \
  >"$run.out" 2>"$run.err" || status=$?
[ "$status" = 2 ] && grep -q "password-stdin" "$run.err" ||
  fail "qgm NAME PASSWORD --password-stdin: status $status, $(cat "$run.err")"
echo "qgm NAME PASSWORD --password-stdin: refused"
