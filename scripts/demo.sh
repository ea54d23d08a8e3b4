#!/usr/bin/env bash
# Builds the program and runs its main job. For now that is the headless
# tool on a saved usage reply; the tray program takes over when it exists.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset default >/dev/null
cmake --build --preset default --target qgm-cli
./build/default/src/cli/qgm-cli xml resources/samples/history-reply.xml
