#!/usr/bin/env bash
# qgm-cli killed (SIGKILL) at random moments of twenty runs that bring the
# usage log up to date against the simulator: after each kill the log is the
# one from before the run or a whole new one (every line complete, no day
# lost), never a mix, and the next run reads it and carries on.
#   kill_test.sh QGM_CLI CORVALINK_SIM
set -euo pipefail
cli=$1
sim=$2
work=$(mktemp -d)
simpid=
cleanup() {
  [[ -n $simpid ]] && kill "$simpid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT

"$sim" --state-dir "$work/sim" >"$work/sim.json" &
simpid=$!
for _ in $(seq 200); do
  [[ -s $work/sim.json ]] && break
  sleep 0.05
done
json=$(cat "$work/sim.json")
field() { sed -E "s/.*\"$1\":\"?([^\",}]*).*/\1/" <<<"$json"; }
api=$(field apiBase)
ca=$(field caFile)

update_log() {
  "$cli" history --api-base "$api" --ca-file "$ca" --account demo --password demo \
    --data-dir "$work/data" --csv
}

# A whole log: at least as many lines as before, each ending in a line
# break, each with the fields of the first.
whole() {
  local file=$1 lines=$2
  [[ -s $file && $(tail -c 1 "$file" | od -An -c | tr -d ' ') == '\n' ]] || return 1
  (($(wc -l <"$file") >= lines)) || return 1
  awk -F, 'NR == 1 { n = NF } NF != n { bad = 1 } END { exit bad }' "$file"
}

update_log >/dev/null
log=$(ls "$work"/data/*_CorvalinkHistory.csv)
lines=$(wc -l <"$log")
((lines > 900)) || { echo "the first run logged only $lines days"; exit 1; }

# How long a whole run takes here; the kills fall anywhere in a run or a
# little after it, so some come before the save and some after.
start=$(date +%s%N)
update_log >/dev/null
run_ms=$((($(date +%s%N) - start) / 1000000))

RANDOM=20261208
old=0 new=0 leftovers=0
for round in $(seq 20); do
  # The last three days go missing, so a run that gets as far as saving
  # writes a log that differs from the one it found.
  head -n -3 "$log" >"$work/before.csv"
  cp "$work/before.csv" "$log"
  update_log >"$work/printed.csv" &
  run=$!
  delay=$((RANDOM % (run_ms * 6 / 5 + 1)))
  sleep "$((delay / 1000)).$(printf %03d $((delay % 1000)))"
  kill -KILL "$run" 2>/dev/null || true
  wait "$run" 2>/dev/null || true
  if cmp -s "$log" "$work/before.csv"; then
    old=$((old + 1))
  elif whole "$log" "$lines"; then
    new=$((new + 1))
  else
    echo "round $round: the usage log is torn"
    exit 1
  fi
  # A kill between writing the new version and putting it in place leaves
  # its hidden temporary file; counted, not an error.
  leftovers=$(find "$work/data" -name '.*' -type f | wc -l)
  # The next whole run reads what the kill left and writes what it prints.
  update_log >"$work/printed.csv"
  cmp -s "$log" "$work/printed.csv" || { echo "round $round: the log and the run disagree"; exit 1; }
done
echo "20 kills within ${run_ms} ms runs: $old left the log as it was, $new found it" \
  "rewritten whole; $leftovers temporary files left behind"
((old > 0 && new > 0)) || { echo "the kills never fell on both sides of the save"; exit 1; }
