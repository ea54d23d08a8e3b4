#!/usr/bin/env bash
# The tray program against a minimal Qt tray program, both under a virtual
# display with a tray host: start-up time, peak memory, and the CPU used over
# SECONDS idle seconds (default 60) once the program is up to date (its
# first update done, no countdown or alert running). The provider is the
# simulator in a process of its own, so its work is not counted. DESKTOP is
# x11 (a virtual X display with an XEmbed tray, the default) or wayland (a
# headless weston with a StatusNotifier host of the tests' own on a private
# session bus).
#   bench/tray_startup.sh BUILD_DIR [SECONDS] [DESKTOP]
set -euo pipefail
build=${1:-build/default}
seconds=${2:-60}
desktop=${3:-x11}
settle=6
here=$(cd "$(dirname "$0")" && pwd)
if [ "$desktop" = wayland ] && [ "${BENCH_INNER:-}" != 1 ]; then
  BENCH_INNER=1 exec dbus-run-session --config-file "$here/../tests/desktop/session.conf" -- \
    "$0" "$@"
fi
home=$(mktemp -d)
"$build/bin/corvalink-sim" --state-dir "$home/sim" > "$home/sim.json" &
sim=$!
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$home"' EXIT
for _ in $(seq 50); do [ -s "$home/sim.json" ] && break; sleep 0.1; done
json=$(cat "$home/sim.json")
field() { sed -E "s/.*\"$1\":\"([^\"]*)\".*/\1/" <<<"$json"; }
export XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
mkdir -p "$XDG_CONFIG_HOME/Corvalink"
printf 'api-base = %s\nca-file = %s\n' "$(field apiBase)" "$(field caFile)" > "$XDG_CONFIG_HOME/Corvalink/endpoints.conf"
# settings FILE [EXTRA LINE]: a start delay of one second, started into the tray.
settings() {
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData]\r\n"StartDelay"=dword:00000001\r\n"StartMimimized"=dword:00000001\r\n%b' \
    "${1:-}" > "$XDG_CONFIG_HOME/Corvalink/registry.reg"
}
if [ "$desktop" = wayland ]; then
  unset DISPLAY QT_QPA_PLATFORM
  export XDG_SESSION_TYPE=wayland WAYLAND_DISPLAY=qgm-bench-$$ XDG_RUNTIME_DIR=$home/runtime
  mkdir -p -m 700 "$XDG_RUNTIME_DIR"
  weston --backend=headless-backend.so --socket="$WAYLAND_DISPLAY" --idle-time=0 >/dev/null 2>&1 &
  /usr/bin/python3 "$here/../tests/desktop/statusnotifier.py" watch "$home/sni.log" &
  for _ in $(seq 100); do
    [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] && grep -qs ready "$home/sni.log" && break
    sleep 0.1
  done
  run() { "$@" 2>/dev/null; }
else
  run() { xvfb-run -a -s "-screen 0 1024x768x24" "$here/../tests/gui/with_tray.sh" "$@" 2>/dev/null; }
fi
# ratio OURS ANCHOR KEY GOAL: one line "KEY qgm/anchor = R (goal G)".
ratio() {
  awk -v k="$3" -v g="$4" '
    FNR == 1 { f++ } $1 == k { v[f] = $2 }
    END { if (v[2] > 0) printf "%-13s %9.1f / %9.1f = %.2fx (goal %sx)\n", k, v[1], v[2], v[1] / v[2], g }' "$1" "$2"
}
echo "== anchor (minimal Qt tray program)"
run "$build/bench/qgm_bench_tray_anchor" "$seconds" "$settle" | tee "$home/anchor.txt"
# The demo account's two notices already read: the program as it sits in the
# tray most of the time.
settings '"MessageReferences"="MAINT-2026-12,RADIO-2026"\r\n'
echo "== qgm (account demo, notices already read, first update after one second)"
run "$build/bin/qgm" demo demo --measure "$seconds" "$settle" | tee "$home/qgm.txt"
# The same with the two notice popups open.
settings
echo "== qgm (account demo, two notice popups open)"
run "$build/bin/qgm" demo demo --measure "$seconds" "$settle" | tee "$home/qgm-popups.txt"
# Start-up time varies from run to run: the median of seven starts of each.
median_start() {
  for _ in 1 2 3 4 5 6 7; do run "$@" | awk '$1 == "startup_ms" { print $2 }'; done |
    sort -n | sed -n 4p
}
echo "== start-up, median of seven starts"
printf 'startup_ms %s\n' "$(median_start "$build/bench/qgm_bench_tray_anchor" 1 0)" >"$home/anchor-start.txt"
settings '"MessageReferences"="MAINT-2026-12,RADIO-2026"\r\n'
printf 'startup_ms %s\n' "$(median_start "$build/bin/qgm" demo demo --measure 1 0)" >"$home/qgm-start.txt"
echo "== qgm (notices read) against the anchor"
ratio "$home/qgm-start.txt" "$home/anchor-start.txt" startup_ms 1.3
ratio "$home/qgm.txt" "$home/anchor.txt" idle_cpu_ms 1.5
ratio "$home/qgm.txt" "$home/anchor.txt" peak_rss_kib 1.4
ratio "$home/qgm.txt" "$home/anchor.txt" private_kib 1.4
