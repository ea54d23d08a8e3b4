#!/usr/bin/env bash
# The whole test run: unit and integration tests on the default build, the
# same tests under AddressSanitizer + UndefinedBehaviorSanitizer, and a short
# run of every fuzz target. Installs what it needs first.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

echo "== default build"
cmake --preset default
cmake --build --preset default
# Every header the build read must come from a package we install.
scripts/check-deps.sh build/default
ctest --preset default

echo "== asan build"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan

echo "== fuzz (short run)"
scripts/fuzz.sh "${QGM_FUZZ_SECONDS:-9}"

echo "All tests passed."
