# Shared by the desktop tests (sourced once they run on their private bus,
# with QGM and CORVALINK_SIM as their arguments): the simulator started and
# the program's folders set up below $home, and the test's StatusNotifier
# watcher and host (statusnotifier.py) with its probes.
qgm=$1
sim=$2
here=$(cd "$(dirname "$0")" && pwd)
py=/usr/bin/python3  # Debian's, which has the D-Bus bindings
source "$here/../support/wait.sh"
source "$here/../support/provider.sh"
home=$(mktemp -d)
simpid=
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$home"' EXIT
start_provider "$home"
probe() { "$py" "$here/statusnotifier.py" probe "$@"; }
registered() { grep -qs '"registered"' "$home/sni.log"; }
tooltip_has() { probe tooltip 2>/dev/null | grep -q -- "$1"; }
start_host() {  # start_host [--host-after SECONDS]: the watcher (and host), as $host
  rm -f "$home/sni.log"
  "$py" "$here/statusnotifier.py" watch "$home/sni.log" "$@" &
  host=$!
  wait_for 20 grep -qs '"ready"' "$home/sni.log" || fail "the test's watcher did not start"
}
stop_host() {
  kill $host
  wait $host 2>/dev/null || true
}
