#!/usr/bin/env bash
# Builds QGM, makes its Debian package and installs it (needs root or sudo):
# the programs in /usr/bin, QGM in the application menu with its icon.
# Installs what building needs and what the package depends on; no test
# tools, no server. "apt-get purge qgm" removes it again.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh run build
export CCACHE_BASEDIR=$PWD CCACHE_NOHASHDIR=1
cmake --preset default -DQGM_BUILD_TESTS=OFF -DQGM_BUILD_BENCH=OFF
cmake --build --preset default
out=build/default/package
rm -rf "$out"
cpack --config build/default/CPackConfig.cmake -B "$out"
deb=$(ls "$out"/qgm_*.deb | head -n 1)
SUDO=""
[ "$(id -u)" -eq 0 ] || SUDO=sudo
# apt resolves the package's dependencies; the path must look like a file.
# Its recommendations (xdg-utils, a sound player) came with the run set;
# theirs would bring what nobody asked for.
$SUDO apt-get install -y --no-install-recommends "$(realpath "$deb")"
echo "Installed $(basename "$deb"): start QGM from the application menu, or run qgm."
