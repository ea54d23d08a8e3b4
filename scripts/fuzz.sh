#!/usr/bin/env bash
# Runs every fuzz target of the fuzz preset for SECONDS seconds each
# (default 15), starting from the seeds in fuzz/seeds/. Usage:
#   scripts/fuzz.sh [SECONDS] [TARGET...]
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-15}
shift || true
cmake --preset fuzz >/dev/null
cmake --build --preset fuzz

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  targets=(fuzz_xml_tree fuzz_xml_entities fuzz_html_to_text fuzz_csv_line fuzz_usage_replies
           fuzz_pop3_replies fuzz_hive_file fuzz_history fuzz_advisory_feed fuzz_channel_list
           fuzz_call_month fuzz_version_body fuzz_wrap_line fuzz_tray_hint)
fi

status=0
for t in "${targets[@]}"; do
  corpus=build/fuzz/corpus/$t
  log=build/fuzz/$t.log
  mkdir -p "$corpus"
  echo "== $t for ${seconds}s"
  if ./build/fuzz/fuzz/$t -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -print_final_stats=1 -artifact_prefix=build/fuzz/ "$corpus" "fuzz/seeds/$t" >"$log" 2>&1; then
    grep -E "^stat::(number_of_executed_units|new_units_added)" "$log" || true
  else
    tail -n 40 "$log" >&2
    echo "$t found a problem; the input is in build/fuzz/" >&2
    status=1
  fi
done
exit $status
