#!/usr/bin/env bash
# The keyring tests on a private session bus with a keyring daemon of their
# own, in a scratch home: the user's keyring is never touched. Afterwards
# the Secret Service itself is asked what it holds.
#   keyring_test.sh QGM_GUI_PLATFORM_TESTS QGM_CLI
set -euo pipefail
tests=$1
cli=$2
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
  # qgm-cli finds a stored account whose password the program moved to the
  # keyring (nothing listens at the address: the fetch fails, but it is
  # tried with the account instead of refused for the lack of one).
  mkdir -p "$XDG_CONFIG_HOME/Corvalink"
  printf "REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData]\r\n\"accountType\"=dword:00000001\r\n\"business\"=\"stored\"\r\n\"business2InKeyring\"=dword:00000001\r\n" \
    > "$XDG_CONFIG_HOME/Corvalink/registry.reg"
  usage() { "$1" usage --config /dev/null --api-base https://127.0.0.1:1/api/v1.5/ 2>&1 >/dev/null || true; }
  if ! grep -q "an account is needed" <<<"$(usage "$1")"; then
    echo "qgm-cli found a password before the keyring had one"; exit 1
  fi
  printf "kept" | secret-tool store --label=QGM server QGM type plaintext \
    user "\\Software\\Corvalink\\QuotaGaugeData\\business2"
  if grep -q "an account is needed" <<<"$(usage "$1")"; then
    echo "qgm-cli did not find the password in the keyring"; exit 1
  fi
  echo "qgm-cli: the stored account with its password from the keyring"
' "$tests" "$cli" 2>&1 | grep -v "Failed to set fd limit"
