#!/usr/bin/env bash
# The whole test run: unit, integration and window tests on the default
# build, the core without Qt (so it can never come to need it), the same
# tests under AddressSanitizer + UndefinedBehaviorSanitizer, the core's tests
# under ThreadSanitizer, the clients against real servers (dovecot, vsftpd,
# an inetd time service, squid, nginx, mpv), the program on real desktops
# from Debian (i3, xfce4-panel, lxqt-panel, sway with waybar, GNOME Shell),
# and a short run of every fuzz target. Installs what it needs first:
# the program's sets and the desktops, checked to add no system service or
# listening socket,
# then the test set, whose servers are installed masked and disabled and are
# checked to stay so.
set -euo pipefail
cd "$(dirname "$0")/.."

snapshot=$(mktemp)
trap 'rm -f "$snapshot"' EXIT
tests/packaging/system_services.sh snapshot "$snapshot"
scripts/install-deps.sh run build demo panels
tests/packaging/system_services.sh compare "$snapshot"
scripts/install-deps.sh test
tests/packaging/system_services.sh servers

# The builds share one compiler cache whatever their folder.
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
start=$SECONDS
stage() { echo "== $1 (at $((SECONDS - start)) s)"; }

stage "default build"
cmake --preset default
cmake --build --preset default
# Every header the build read must come from a package we install.
scripts/check-deps.sh build/default
ctest --preset default
# What the long runs measured: the month soak's summary and the longest
# hold of the window thread through the hostile week.
grep -h -E "^(soak:|longest event-loop stall:)" build/default/Testing/Temporary/LastTest.log || true

stage "interop (the clients against real servers on loopback)"
ctest --preset interop
# The servers ran as the tests' own processes, and are still no service.
tests/packaging/system_services.sh servers

stage "panels (the program on real desktops, as its users run it)"
ctest --preset panels
grep -h "^panel " build/default/Testing/Temporary/LastTest.log || true

stage "headless build (no Qt)"
cmake --preset headless
cmake --build --preset headless
ctest --preset headless

stage "asan build"
cmake --preset asan
cmake --build --preset asan
ctest --preset asan

stage "tsan build (core and its tests, worker threads under ThreadSanitizer)"
cmake --preset tsan
cmake --build --preset tsan
ctest --preset tsan

stage "fuzz (short run)"
scripts/fuzz.sh "${QGM_FUZZ_SECONDS:-9}"

echo "All tests passed in $((SECONDS - start)) s."
