#!/usr/bin/env bash
# Builds the tray program and runs it against the built-in simulated
# provider (the demo account; nothing of your own settings is touched).
# Without a desktop (no DISPLAY), it runs on a virtual display with a tray
# host for a few seconds and saves screenshots of what it showed.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target qgm qgm-cli corvalink-sim

if [ -n "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  exec ./build/default/bin/qgm --demo
fi
echo "No desktop found: running on a virtual display."
tests/gui/smoke_test.sh "$PWD/build/default/bin/qgm" "$PWD/build/demo"
