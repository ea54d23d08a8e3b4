#!/usr/bin/env bash
# Installs the Debian 12 packages QGM needs, one set for each purpose:
#
#   run    what the program needs when it runs: the libraries it loads, Qt's
#          Wayland plugin, xdg-open (links and files), paplay (alert sounds),
#          the CA store
#   build  what building it and making its Debian package need
#   demo   what the headless demo needs on top: a virtual X display, a tray
#          host, the tools that find the icon, fonts
#   test   everything the tests use besides: test and benchmark libraries,
#          the fuzzer's compiler and runtimes, desktop services for private
#          session buses, package checks, and the real servers of the interop
#          tests (dovecot, vsftpd, inetd, squid, nginx, mpv)
#   panels the real desktops the panel tests run the program on: i3 with
#          i3bar and dunst, xfce4-panel with xfce4-notifyd, lxqt-panel with
#          lxqt-notificationd under openbox, sway with waybar and mako, and
#          GNOME Shell with its AppIndicator extension
#
# None of the first three ships a system service or listens on a port. The
# test servers are started by their tests by hand on loopback; they are
# installed masked and disabled, so they never start as system services, at
# install time or at boot, with systemd or without.
#
#   scripts/install-deps.sh SET...         install what is missing (root or sudo)
#   scripts/install-deps.sh --list SET...  print the sets' packages
#   scripts/install-deps.sh --servers      print the test servers' units
# Does nothing when every package is present.
set -euo pipefail

declare -A SETS
SETS[run]="libqt6core6 libqt6gui6 libqt6widgets6 libqt6dbus6 libqt6keychain1
  libsecret-1-0 libcurl4 libssl3 zlib1g libxcb1 libcpp-httplib0.11 qt6-wayland
  xdg-utils pulseaudio-utils ca-certificates"
SETS[build]="cmake ninja-build g++ pkg-config ccache
  libcurl4-openssl-dev libssl-dev zlib1g-dev libcpp-httplib-dev libstb-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev qtkeychain-qt6-dev libsecret-1-dev libxcb1-dev
  dpkg-dev file"
SETS[demo]="xvfb xauth trayer xdotool x11-utils fonts-liberation2 fonts-liberation"
SETS[test]="libgtest-dev libgmock-dev libbenchmark-dev libpugixml-dev
  clang libclang-rt-14-dev openssl python3 curl
  desktop-file-utils appstream lintian groff-base
  dbus-daemon gnome-keyring libsecret-tools
  weston python3-dbus python3-gi gir1.2-glib-2.0
  at-spi2-core python3-pyatspi gir1.2-atspi-2.0
  dovecot-pop3d vsftpd inetutils-inetd squid nginx mpv mpv-mpris"
SETS[panels]="i3-wm dunst wmctrl x11-apps xfwm4 xfce4-panel xfce4-notifyd
  openbox lxqt-panel lxqt-notificationd sway waybar mako-notifier grim
  gnome-shell gnome-shell-extension-appindicator gjs"

# The test servers: their packages, system units and init scripts.
SERVER_PACKAGES="dovecot-pop3d vsftpd inetutils-inetd squid nginx"
# (inetd's package brings a syslog daemon, which is no more wanted.)
SERVER_UNITS="dovecot.service dovecot.socket vsftpd.service inetutils-inetd.service
  inetutils-syslogd.service squid.service nginx.service"
SERVER_INIT_SCRIPTS="dovecot vsftpd inetutils-inetd inetutils-syslogd squid nginx"

usage() {
  sed -n '2,27p' "$0" | sed 's/^# \{0,1\}//' >&2
  exit 2
}

mode=install
case "${1:-}" in
  --list) mode=list; shift ;;
  --servers) printf '%s\n' $SERVER_UNITS; exit 0 ;;
  -h|--help|"") usage ;;
esac
packages=()
for set in "$@"; do
  [ -n "${SETS[$set]:-}" ] || { echo "install-deps: no set \"$set\" (run, build, demo, test, panels)" >&2; usage; }
  # shellcheck disable=SC2206
  packages+=(${SETS[$set]})
done

if [ $mode = list ]; then
  printf '%s\n' "${packages[@]}" | sort -u
  exit 0
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

# With the test set, the servers must be masked, and have no start link.
servers_asked=""
for p in "${packages[@]}"; do
  for server in $SERVER_PACKAGES; do
    [ "$p" != "$server" ] || servers_asked=1
  done
done
servers_loose() {
  local unit script
  for unit in $SERVER_UNITS; do
    [ "$(readlink "/etc/systemd/system/$unit" 2>/dev/null)" = /dev/null ] || return 0
    compgen -G "/etc/systemd/system/*.wants/$unit" >/dev/null && return 0
  done
  for script in $SERVER_INIT_SCRIPTS; do
    compgen -G "/etc/rc[2-5].d/S[0-9][0-9]$script" >/dev/null && return 0
  done
  return 1
}
guard=""
[ -z "$servers_asked" ] || ! servers_loose || guard=1
[ ${#missing[@]} -eq 0 ] && [ -z "$guard" ] && exit 0

SUDO=""
if [ "$(id -u)" -ne 0 ]; then
  command -v sudo >/dev/null || { echo "Run as root to install: ${missing[*]}" >&2; exit 1; }
  SUDO=sudo
fi
export DEBIAN_FRONTEND=noninteractive

if [ -n "$guard" ]; then
  # Before the servers arrive: each unit masked (a link to /dev/null that
  # the packages' scripts leave alone, as it is not theirs), and recorded
  # as disabled by the administrator, so the packages' first configuration
  # keeps it disabled instead of enabling it.
  $SUDO mkdir -p /etc/systemd/system /var/lib/systemd/deb-systemd-helper-enabled
  for unit in $SERVER_UNITS; do
    [ -e "/etc/systemd/system/$unit" ] || [ -L "/etc/systemd/system/$unit" ] ||
      $SUDO ln -s /dev/null "/etc/systemd/system/$unit"
    state=/var/lib/systemd/deb-systemd-helper-enabled/$unit.dsh-also
    [ -e "$state" ] ||
      echo "/etc/systemd/system/multi-user.target.wants/$unit" | $SUDO tee "$state" >/dev/null
  done
fi

if [ ${#missing[@]} -gt 0 ]; then
  echo "Installing: ${missing[*]}"
  # Nothing starts as a service while the packages are installed
  # (policy-rc.d answers "not now" to every start).
  policy=/usr/sbin/policy-rc.d
  made_policy=""
  if [ ! -e "$policy" ]; then
    printf '#!/bin/sh\nexit 101\n' | $SUDO tee "$policy" >/dev/null
    $SUDO chmod 755 "$policy"
    made_policy=1
  fi
  trap '[ -z "$made_policy" ] || $SUDO rm -f "$policy"' EXIT
  $SUDO apt-get update
  $SUDO apt-get install -y --no-install-recommends "${missing[@]}"
fi

if [ -n "$guard" ]; then
  # Without systemd their init scripts are the services: no start links.
  for script in $SERVER_INIT_SCRIPTS; do
    [ -e "/etc/init.d/$script" ] || continue
    $SUDO update-rc.d "$script" disable >/dev/null 2>&1 || true
  done
  for unit in $SERVER_UNITS; do
    $SUDO rm -f /etc/systemd/system/*.wants/"$unit"
  done
  ! servers_loose || { echo "install-deps: a test server can still start as a service" >&2; exit 1; }
fi
