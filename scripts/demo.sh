#!/usr/bin/env bash
# Builds the tray program and runs it against the built-in simulated
# provider (the demo account; nothing of your own settings is touched).
# Without a desktop (no DISPLAY), it runs on a virtual display with a tray
# host for a few seconds and saves screenshots of what it showed.
# Installs only what the program and its build need, and the virtual
# display and tray host when there is no desktop: no server, no service.
set -euo pipefail
cd "$(dirname "$0")/.."

desktop=${DISPLAY:-}${WAYLAND_DISPLAY:-}
if [ -n "$desktop" ]; then
  scripts/install-deps.sh run build
else
  scripts/install-deps.sh run build demo
fi
# The program alone: the tests and benchmarks are built by scripts/test.sh.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
cmake --preset default -DQGM_BUILD_TESTS=OFF -DQGM_BUILD_BENCH=OFF >/dev/null
cmake --build --preset default --target qgm qgm-cli corvalink-sim

if [ -n "$desktop" ]; then
  exec ./build/default/bin/qgm --demo
fi
echo "No desktop found: running on a virtual display."
tests/gui/smoke_test.sh "$PWD/build/default/bin/qgm" "$PWD/build/demo"
