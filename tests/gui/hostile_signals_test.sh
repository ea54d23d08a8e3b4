#!/usr/bin/env bash
# The tray program against a provider that sends hostile content and fails
# requests (corvalink-sim --hostile and --chaos) for a few seconds, then
# SIGTERM: it ends promptly, with its settings saved. Then the same for
# "qgm --demo --hostile", whose provider runs beside it. Runs offscreen.
#   hostile_signals_test.sh QGM CORVALINK_SIM
set -euo pipefail
qgm=$1
sim=$2
home=$(mktemp -d)
simpid=
trap '[ -z "$simpid" ] || kill $simpid 2>/dev/null; rm -rf "$home"' EXIT
source "$(dirname "$0")/../support/wait.sh"
source "$(dirname "$0")/../support/provider.sh"
# Runs the program for SECONDS, sends SIGTERM and checks it ended within
# five seconds with status 0.
run_and_end() {  # run_and_end NAME SECONDS COMMAND...
  local name=$1 seconds=$2; shift 2
  QT_QPA_PLATFORM=offscreen "$@" >"$home/$name.out" 2>"$home/$name.err" &
  local pid=$! status=0
  sleep "$seconds"
  if ended $pid; then
    echo "FAIL ($name): ended by itself"; cat "$home/$name.err"; exit 1
  fi
  kill -TERM $pid
  if ! wait_for 5 ended $pid; then
    echo "FAIL ($name): still running 5 s after SIGTERM (the window is frozen?)"
    cat "$home/$name.err"; kill -9 $pid; exit 1
  fi
  wait $pid || status=$?
  if [ $status -ne 0 ]; then
    echo "FAIL ($name): ended with status $status"; cat "$home/$name.err"; exit 1
  fi
}

start_provider "$home" --hostile 0.3 --chaos 0.2 --seed 7 --stall-ms 1000
write_hive
run_and_end program 8 "$qgm"
if ! grep -q '"posx"' "$hive" || ! grep -q '"home"="demo"' "$hive"; then
  echo "FAIL (program): the settings were not saved whole"; cat "$hive"; exit 1
fi
echo "qgm against a hostile provider: ended cleanly on SIGTERM with its settings saved"

run_and_end demo 8 "$qgm" --demo --hostile 0.3
echo "qgm --demo --hostile: ended cleanly on SIGTERM"
