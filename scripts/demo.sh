#!/usr/bin/env bash
# Builds the program and runs its main job against the built-in simulated
# provider. Until the tray program exists, that is one usage fetch by the
# headless tool.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target qgm-cli
./build/default/src/cli/qgm-cli usage --demo
