#!/usr/bin/env bash
# The keyring tests on a private session bus with a keyring daemon of their
# own, in a scratch home: the user's keyring is never touched. Afterwards
# the Secret Service itself is asked what it holds.
#   keyring_test.sh QGM_GUI_PLATFORM_TESTS
set -euo pipefail
tests=$1
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_DATA_HOME=$home/.local/share XDG_CONFIG_HOME=$home/.config \
  XDG_CACHE_HOME=$home/.cache QGM_KEYRING_TEST=1 QT_QPA_PLATFORM=offscreen
dbus-run-session -- bash -c '
  set -euo pipefail
  # A login keyring made and unlocked with a throwaway password.
  printf "qgm-test" | gnome-keyring-daemon --unlock --components=secrets >/dev/null
  "$0" --gtest_filter="DesktopKeyring.*"
  # The account password is in the Secret Service, under the program.
  found=$(secret-tool search --all server QGM-test 2>&1 || true)
  grep -q "home2" <<<"$found" || { echo "no account password in the Secret Service:"; echo "$found"; exit 1; }
  echo "Secret Service holds: $(grep -c "^label" <<<"$found") QGM-test entries"
' "$tests" 2>&1 | grep -v "Failed to set fd limit"
