#!/usr/bin/env bash
# Installs the Debian 12 packages the build, the tests and the program need.
# Does nothing when they are all present; otherwise needs root (or sudo).
# --list prints the list (scripts/check-deps.sh holds the build to it).
# At run time the program also uses xdg-utils (xdg-open, for links and
# files) and a sound player (pipewire-bin's pw-play, pulseaudio-utils'
# paplay or alsa-utils' aplay) for the alert sounds: listed below. The
# media player test runs on a private session bus (dbus-daemon's
# dbus-run-session). The download benchmark races curl processes. The
# package test builds the Debian package (dpkg-dev, file) and validates
# its desktop entry and metadata (desktop-file-utils, appstream). The
# program finds an X11 tray through libxcb and runs natively on Wayland
# (qt6-wayland); the desktop tests run it under a headless weston with a
# tray host and a notification server of their own in Python (python3-dbus,
# python3-gi), and walk its accessibility tree as a screen reader does
# (at-spi2-core's accessibility bus, python3-pyatspi). The interop tests
# run the clients against real servers (dovecot-pop3d, vsftpd,
# inetutils-inetd's time service, squid, nginx, mpv with mpv-mpris), each
# started by its test on loopback: the install keeps their system services
# from starting.
set -euo pipefail

PACKAGES=(
  cmake ninja-build g++ pkg-config ccache
  libcurl4-openssl-dev libssl-dev zlib1g-dev
  libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev libcpp-httplib-dev libstb-dev
  clang libclang-rt-14-dev
  openssl python3 ca-certificates
  qt6-base-dev qt6-base-dev-tools libgl-dev qtkeychain-qt6-dev
  xvfb xauth trayer xdotool x11-utils fonts-liberation2 fonts-liberation
  xdg-utils alsa-utils dbus-daemon
  curl
  dpkg-dev file desktop-file-utils appstream
  gnome-keyring libsecret-tools libsecret-1-dev
  libxcb1-dev qt6-wayland weston python3-dbus python3-gi gir1.2-glib-2.0
  at-spi2-core python3-pyatspi gir1.2-atspi-2.0
  dovecot-pop3d vsftpd inetutils-inetd squid nginx mpv mpv-mpris
)

if [ "${1:-}" = "--list" ]; then
  printf '%s\n' "${PACKAGES[@]}"
  exit 0
fi

missing=()
for p in "${PACKAGES[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root to install: ${missing[*]}" >&2; exit 1; }
  SUDO=sudo
fi
export DEBIAN_FRONTEND=noninteractive
$SUDO apt-get update
# The servers the interop tests start themselves must not start as system
# services while they are installed (policy-rc.d answers "not now").
policy=/usr/sbin/policy-rc.d
made_policy=""
if [ ! -e "$policy" ]; then
  printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
  $SUDO chmod 755 "$policy"
  made_policy=1
fi
trap '[ -z "$made_policy" ] || $SUDO rm -f "$policy"' EXIT
$SUDO apt-get install -y --no-install-recommends "${missing[@]}"
