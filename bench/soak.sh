#!/usr/bin/env bash
# A simulated year of hourly updates (8,760) against the simulator failing
# one request in five, with the figures: requests, faults by kind, days
# logged, resident memory after the first day, at its peak and at the end.
#   bench/soak.sh [BUILD_DIR] [HOURS]
set -euo pipefail
build=${1:-build/default}
hours=${2:-8760}
start=$SECONDS
QGM_SOAK_HOURS=$hours "$build/tests/qgm_integration_tests" --gtest_filter='SoakTest.*' |
  grep -E -A5 "^soak:|OK \]|FAILED|Failure"
echo "wall time: $((SECONDS - start)) s"
