#!/usr/bin/env bash
# One desktop of the real-panel stage (ctest --preset panels), on a session bus of
# its own: the panel, window manager and notification server from Debian,
# and the program as a user meets it (the demo account stored against the
# simulator, "Start Minimized", the default first-update delay). Prints one
# line, "panel DESKTOP: ok (...)" or "panel DESKTOP: FAIL: ...", and keeps
# the screenshots it judged in PICTURES.
#   panel_session.sh DESKTOP QGM CORVALINK_SIM PICTURES
set -euo pipefail
desktop=$1
here=$(cd "$(dirname "$0")" && pwd)
if [ "${PANEL_INNER:-}" != 1 ]; then
  # The session's services start on demand, as in a desktop session; only
  # those the panels need (settings stores), not the machine's keyring.
  bus=$(mktemp -d)
  mkdir "$bus/services"
  for service in org.xfce.Xfconf ca.desrt.dconf; do
    cp "/usr/share/dbus-1/services/$service.service" "$bus/services/" 2>/dev/null || true
  done
  sed "s|@SERVICES@|$bus/services|" "$here/session.conf" >"$bus/session.conf"
  as_user=()
  pictures=$4
  mkdir -p "$pictures"
  if [ "$desktop" = sway ] && [ "$(id -u)" -eq 0 ]; then
    # sway will not run as root: the whole session is an unprivileged
    # user's, who hands the pictures back.
    user=nobody
    runtime=$(mktemp -d)
    chown "$user:" "$runtime"
    chmod 755 "$bus"
    set -- "$1" "$2" "$3" "$runtime/pictures"
    as_user=(runuser -u "$user" -- env XDG_RUNTIME_DIR="$runtime")
  fi
  status=0
  "${as_user[@]}" env PANEL_INNER=1 timeout 420 dbus-run-session --config-file "$bus/session.conf" -- "$0" "$@" || status=$?
  if [ ${#as_user[@]} -gt 0 ]; then
    cp "$runtime"/pictures/*.png "$pictures"/ 2>/dev/null || true
    rm -rf "$runtime"
  fi
  rm -rf "$bus"
  exit $status
fi
[ -z "${PANEL_TRACE:-}" ] || set -x
qgm=$2
sim=$3
pictures=$4
py=/usr/bin/python3
source "$here/../../support/wait.sh"
source "$here/../../support/provider.sh"
source "$here/../../support/tray.sh"
home=$(mktemp -d)
chmod 755 "$home"
trap 'kill $(jobs -p) 2>/dev/null; sleep 0.3; [ -n "${PANEL_KEEP:-}" ] || rm -rf "$home"' EXIT
mkdir -p "$pictures"
findings=()
found() { findings+=("$*"); }
fail() {
  echo "panel $desktop: FAIL: $*"
  if [ -s "$home/qgm.err" ]; then tail -n 15 "$home/qgm.err" | sed 's/^/  qgm: /'; fi
  exit 1
}
now_ms() { echo $(($(date +%s%N) / 1000000)); }
probe() { "$py" "$here/../statusnotifier.py" probe "$@"; }
px() { "$py" "$here/pixels.py" "$@"; }

start_provider "$home"
export HOME=$home
# Links the program opens land here, one line each.
mkdir -p "$home/bin"
printf '#!/bin/sh\necho "$*" >>"%s/opened"\n' "$home" >"$home/bin/xdg-open"
chmod +x "$home/bin/xdg-open"
touch "$home/opened"
# The demo account stored, "Start Minimized"; every other setting the
# user's default unless given: hive [LINES].
hive() {
  printf 'REGEDIT4\r\n\r\n[HKEY_CURRENT_USER\\Software\\Corvalink\\QuotaGaugeData]\r\n"accountType"=dword:00000000\r\n"home"="demo"\r\n"home2"=hex:71,72,7a,7c\r\n"StartMimimized"=dword:00000001\r\n%b' \
    "${1:-}" >"$hive"
}
start_qgm() {
  PATH=$home/bin:$PATH QT_QPA_PLATFORM=$qpa "$qgm" >"$home/qgm.out" 2>"$home/qgm.err" &
  qgm_pid=$!
}
end_qgm() {
  kill -TERM "$qgm_pid" 2>/dev/null || true
  wait_for 10 ended "$qgm_pid" || fail "still running 10 s after SIGTERM"
  wait "$qgm_pid" 2>/dev/null || true
}

# --- The desktops -------------------------------------------------------
# Each sets: qpa (xcb or wayland), tray (xembed or sni), panel_png (a
# function writing a picture of the panel's bar to $1), work_area (prints
# "X Y W H"), and starts its notification server.
x_display() {  # x_display N: the first free display from N up
  local n=$1
  while [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ]; do n=$((n + 1)); done
  Xvfb :$n -screen 0 1024x768x24 -nolisten tcp >"$home/xvfb.log" 2>&1 &
  export DISPLAY=:$n
  wait_for 20 xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not start"
  qpa=xcb
}
x_shot() { xwd -root -silent >"$home/shot.xwd"; }
# x_window_rect NAME: "X Y W H" of the first window of that name.
x_window_rect() {
  xwininfo -name "$1" 2>/dev/null | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
    /^ *Width/ {w=$2} /^ *Height/ {h=$2} END {if (w) print x, y, w, h}'
}
x_work_area() {
  local area
  area=$(xprop -root _NET_WORKAREA 2>/dev/null | sed -n 's/.*= *//p' | tr -d ',' | awk '{print $1, $2, $3, $4}')
  echo "${area:-0 0 1024 768}"
}

start_i3() {
  x_display 71
  tray=xembed
  cat >"$home/i3.conf" <<'CONF'
font pango:DejaVu Sans 9
bar {
  status_command true
  position bottom
  tray_output screen
  colors {
    background #000000
  }
}
CONF
  i3 -c "$home/i3.conf" >"$home/wm.log" 2>&1 &
  wait_for 20 xwininfo -name "i3bar for output screen" >/dev/null 2>&1 || fail "i3bar did not start"
  # i3 publishes no work area (and floats windows over its bar): the
  # screen.
  work_area() { echo "0 0 1024 768"; }
  panel_png() { x_shot; local bar; bar=($(x_window_rect "i3bar for output screen")); px xwd-crop "$home/shot.xwd" 0 "${bar[1]}" 1024 "${bar[3]}" "$1"; }
  # dunst with its own defaults (a click on the body closes the notice);
  # its action menu picks the link only when told to.
  printf '#!/bin/sh\ntee -a "%s/picker.log" | { if [ -e "%s/pick-more" ]; then grep -i -m1 "more information"; else cat >/dev/null; fi; }\n' "$home" "$home" >"$home/bin/pick"
  chmod +x "$home/bin/pick"
  mkdir -p "$home/config/dunst"
  cat >"$home/config/dunst/dunstrc" <<CONF
[global]
dmenu = $home/bin/pick
CONF
  dunst -config "$home/config/dunst/dunstrc" >"$home/notifier.log" 2>&1 &
  notifier=dunst
}

start_xfce() {
  x_display 72
  tray=sni
  xfwm4 --compositor=off >"$home/wm.log" 2>&1 &
  # A bottom panel with the status tray, as a user's default panel has,
  # in the default dark theme's colour.
  local conf=$home/config/xfce4/xfconf/xfce-perchannel-xml
  mkdir -p "$conf"
  cat >"$conf/xfce4-panel.xml" <<'CONF'
<?xml version="1.0" encoding="UTF-8"?>
<channel name="xfce4-panel" version="1.0">
  <property name="configver" type="int" value="2"/>
  <property name="panels" type="array">
    <value type="int" value="1"/>
    <property name="panel-1" type="empty">
      <property name="position" type="string" value="p=8;x=512;y=755"/>
      <property name="length" type="uint" value="100"/>
      <property name="position-locked" type="bool" value="true"/>
      <property name="size" type="uint" value="26"/>
      <property name="background-style" type="uint" value="1"/>
      <property name="background-rgba" type="array">
        <value type="double" value="0.207843"/>
        <value type="double" value="0.207843"/>
        <value type="double" value="0.207843"/>
        <value type="double" value="1"/>
      </property>
      <property name="plugin-ids" type="array">
        <value type="int" value="1"/>
        <value type="int" value="2"/>
      </property>
    </property>
  </property>
  <property name="plugins" type="empty">
    <property name="plugin-1" type="string" value="separator">
      <property name="expand" type="bool" value="true"/>
      <property name="style" type="uint" value="0"/>
    </property>
    <property name="plugin-2" type="string" value="systray"/>
  </property>
</channel>
CONF
  xfce4-panel >"$home/panel.log" 2>&1 &
  wait_for 30 watcher_ready || fail "xfce4-panel's status tray did not start"
  work_area() { x_work_area; }
  panel_rect() { x_window_rect xfce4-panel; }
  panel_png() { x_shot; px xwd-crop "$home/shot.xwd" $(panel_rect) "$1"; }
  /usr/lib/x86_64-linux-gnu/xfce4/notifyd/xfce4-notifyd >"$home/notifier.log" 2>&1 &
  notifier=xfce4-notifyd
}

start_lxqt() {
  x_display 73
  tray=sni
  openbox >"$home/wm.log" 2>&1 &
  # LXQt's own panel with its default plugins: its session finds them in
  # /usr/share/lxqt, as startlxqt sets.
  export XDG_CONFIG_DIRS=/etc/xdg:/usr/share
  lxqt-panel >"$home/panel.log" 2>&1 &
  wait_for 30 watcher_ready || fail "lxqt-panel's status notifier did not start"
  work_area() { x_work_area; }
  panel_rect() { x_window_rect "LXQt Panel"; }
  panel_png() { x_shot; px xwd-crop "$home/shot.xwd" $(panel_rect) "$1"; }
  lxqt-notificationd >"$home/notifier.log" 2>&1 &
  notifier=lxqt-notificationd
}

# A desktop kept in a file of its own: desktop_NAME.sh defines start_NAME.
[ ! -e "$here/desktop_$desktop.sh" ] || source "$here/desktop_$desktop.sh"

watcher_ready() {
  "$py" - <<'PY'
import dbus, sys
bus = dbus.SessionBus()
try:
    w = bus.get_object("org.kde.StatusNotifierWatcher", "/StatusNotifierWatcher")
    ok = w.Get("org.kde.StatusNotifierWatcher", "IsStatusNotifierHostRegistered",
               dbus_interface="org.freedesktop.DBus.Properties")
except dbus.DBusException:
    ok = False
sys.exit(0 if ok else 1)
PY
}

# --- What the user meets ------------------------------------------------
# The icon in the tray: XEmbed, one of the program's small windows taken
# into the tray; StatusNotifier, the item registered with its pictures.
icon_window() { tray_icon_window "$qgm_pid"; }
icon_there() {
  case $tray in
    xembed) icon_window >/dev/null ;;
    sni) probe sizes 2>/dev/null | grep -q '22' ;;
  esac
}

start_$desktop

# 1. The first seconds, with the default first-update delay.
hive
start=$(now_ms)
start_qgm
wait_for 10 icon_there || fail "no icon 10 s after start (default delay)"
icon_ms=$(($(now_ms) - start))
[ "$icon_ms" -le 2000 ] || fail "the icon came $icon_ms ms after start (limit 2000)"
found "icon ${icon_ms} ms"
end_qgm

# 2. After the first update: the digits on this panel, the notices, the
#    window's place.
dbus-monitor --session "interface='org.freedesktop.Notifications'" "type='method_return'" >"$home/bus.log" 2>&1 &
hive '"StartDelay"=dword:00000001\r\n'
start_qgm
log=$XDG_DATA_HOME/Corvalink/demo_CorvalinkHistory.csv
wait_for 60 test -s "$log" || fail "no update within 60 s"
sleep 3
panel_png "$pictures/$desktop-panel.png"
case $tray in
  xembed)
    w=$(icon_window) || fail "the icon left the tray"
    x_shot
    read -r ix iy iw ih < <(xwininfo -id "$w" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
      /^ *Width/ {w=$2} /^ *Height/ {h=$2} END {print x, y, w, h}')
    px xwd-crop "$home/shot.xwd" "$ix" "$iy" "$iw" "$ih" "$pictures/$desktop-icon.png"
    ratio=$(px contrast "$pictures/$desktop-icon.png")
    ;;
  sni)
    probe save "$home" >/dev/null
    cp "$home/item-22.png" "$pictures/$desktop-icon.png"
    ratio=$(px contrast "$pictures/$desktop-icon.png" "$pictures/$desktop-panel.png")
    ;;
esac
colour=$(px colour "$pictures/$desktop-panel.png")
awk -v r="$ratio" 'BEGIN { exit !(r >= 4.5) }' || fail "the digits reach $ratio:1 on the panel's $colour (at least 4.5:1)"
found "digits $ratio:1 on $colour"

# The window, shown from the tray (a second start asks the first to show)
# and hidden into it by its close box, four times: its frame stays where
# it was, inside the work area.
frame_rect() {  # the main window's frame: "X Y W H"
  local w=$1 l r t b
  read -r l r t b < <(xprop -id "$w" _NET_FRAME_EXTENTS 2>/dev/null | sed -n 's/.*= *//p' | tr -d ',')
  xwininfo -id "$w" | awk -v l="${l:-0}" -v r="${r:-0}" -v t="${t:-0}" -v b="${b:-0}" '
    /Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} /^ *Width/ {w=$2} /^ *Height/ {h=$2}
    END {print x - l, y - t, w + l + r, h + t + b}'
}
inside() {  # inside "X Y W H" "X Y W H"
  awk -v a="$1" -v b="$2" 'BEGIN { split(a, w, " "); split(b, r, " ");
    exit !(w[1] >= r[1] && w[2] >= r[2] && w[1] + w[3] <= r[1] + r[3] && w[2] + w[4] <= r[2] + r[4]) }'
}
if [ "$qpa" = xcb ]; then
  shown() { xwininfo -name "Corvalink Meter" 2>/dev/null | grep -q IsViewable; }
  area=$(work_area)
  places=()
  for round in 1 2 3 4 5; do
    PATH=$home/bin:$PATH QT_QPA_PLATFORM=$qpa "$qgm" >/dev/null 2>&1 || true
    wait_for 10 shown || fail "a second start did not show the window (round $round)"
    sleep 1  # the window manager has placed it, and the program settled it
    window=$(xwininfo -name "Corvalink Meter" | awk '/Window id:/ {print $4}')
    place=$(frame_rect "$window")
    inside "$place" "$area" || fail "the window's frame $place is not inside the work area $area (round $round)"
    places+=("$place")
    "$py" "$here/../close_window.py" "$window"
    wait_for 10 bash -c '! xwininfo -name "Corvalink Meter" 2>/dev/null | grep -q IsViewable' ||
      fail "the close box did not hide the window into the tray (round $round)"
  done
  [ "$(printf '%s\n' "${places[@]}" | sort -u | wc -l)" -eq 1 ] ||
    fail "the window moved between showings: ${places[*]}"
  found "window inside $area over 4 hide/show"
fi

# The tray menu as the host lays it out, on a StatusNotifier host drawn by
# the panel itself: the first opening after the window showed or hid is
# the same size as the next one (no blank rows, no scroll arrow).
viewable() {  # the viewable top-level windows, with their sizes
  local w
  for w in $(xwininfo -root -children | awk '/^ +0x/ {print $1}'); do
    xwininfo -id "$w" 2>/dev/null | awk -v w="$w" '/^ *Width/ {x=$2} /^ *Height/ {y=$2}
      /Map State: IsViewable/ {v=1} END {if (v) print w, x "x" y}'
  done | sort
}
menu_size() {  # opens the tray menu at the icon; prints its size; closes it
  local before
  before=$(viewable)
  xdotool mousemove "$icon_x" "$icon_y" click 3
  sleep 1.5
  comm -13 <(echo "$before") <(viewable) | awk '{print $2}' | sort -t x -k2 -n | tail -n 1
  xdotool key Escape
  sleep 0.7
}
if [ "$qpa" = xcb ] && [ "$tray" = sni ] && [ "${menu_check:-yes}" = yes ]; then
  panel_png "$home/panel-now.png"
  read -r icon_x icon_y < <(px find "$home/item-22.png" "$home/panel-now.png") ||
    fail "the icon is not to be seen on the panel"
  read -r px0 py0 _ < <(panel_rect)
  icon_x=$((icon_x + px0))
  icon_y=$((icon_y + py0))
  PATH=$home/bin:$PATH QT_QPA_PLATFORM=$qpa "$qgm" >/dev/null 2>&1 || true
  wait_for 10 shown || fail "a second start did not show the window"
  first=$(menu_size)
  second=$(menu_size)
  [ -n "$first" ] && [ "$first" = "$second" ] ||
    fail "the menu's first opening after a show was ${first:-not seen}, the next ${second:-not seen}"
  window=$(xwininfo -name "Corvalink Meter" | awk '/Window id:/ {print $4}')
  "$py" "$here/../close_window.py" "$window"
  sleep 1
  third=$(menu_size)
  fourth=$(menu_size)
  [ -n "$third" ] && [ "$third" = "$fourth" ] ||
    fail "the menu's first opening after a hide was ${third:-not seen}, the next ${fourth:-not seen}"
  found "menu right the first time ($first shown, $third hidden)"
fi

# The notices of the demo, every one seen: none pushed out by the next.
sleep 6
report=$("$py" "$here/notices.py" "$home/bus.log")
sent=$("$py" -c 'import json,sys; print(len(json.loads(sys.argv[1])["sent"]))' "$report")
pushed=$("$py" -c 'import json,sys; print(" ".join(map(str, json.loads(sys.argv[1])["pushed_out"])))' "$report")
[ "$sent" -ge 1 ] || fail "no notice reached $notifier: $report"
[ -z "$pushed" ] || fail "$notifier closed notices unseen: $pushed ($report)"
found "$sent notices seen on $notifier"
# A click on a notice's body is the server's "default" action: none is
# offered, and each link is one button.
"$py" -c 'import json, sys
for s in json.loads(sys.argv[1])["sent"]:
    keys, labels = s["actions"][0::2], s["actions"][1::2]
    if "default" in keys or len(set(labels)) != len(labels) or len(set(keys)) != len(keys):
        sys.exit("notice %d offers %s" % (s["id"], s["actions"]))' "$report" ||
  fail "a notice offers a default action or a button twice"

# Its link from its button, once, and the notice goes; a click on the body
# starts nothing.
notice_id() {  # the id of the shown notice whose summary has TEXT
  "$py" -c 'import json,sys
r = json.loads(sys.argv[1]); t = sys.argv[2]
ids = [s["id"] for s in r["sent"] if t in s["summary"] and str(s["id"]) not in r["closed"]]
print(ids[0] if ids else "")' "$("$py" "$here/notices.py" "$home/bus.log")" "$1"
}
case $notifier in
  dunst)
    open_before=$(dunstctl count displayed)
    touch "$home/pick-more"
    dunstctl context
    wait_for 10 test -s "$home/opened" || fail "the notice's \"More\" opened nothing"
    rm "$home/pick-more"
    sleep 2
    [ "$(wc -l <"$home/opened")" -eq 1 ] || fail "the link opened more than once: $(cat "$home/opened")"
    [ "$(dunstctl count displayed)" -lt "$open_before" ] || fail "the notice stayed after its link was followed"
    body=$(xwininfo -root -tree | awk '/"Dunst"/ {print $1; exit}')
    [ -n "$body" ] || fail "no notice left on screen to click"
    xdotool mousemove --window "$body" 20 20 click 1
    sleep 2
    [ "$(wc -l <"$home/opened")" -eq 1 ] || fail "a click on a notice's body opened $(tail -n 1 "$home/opened")"
    found "link once from its button, then gone; body click inert"
    ;;
  mako)
    id=$(notice_id "")
    [ -n "$id" ] || fail "no notice left open to click"
    makoctl invoke -n "$id" || true
    sleep 2
    [ ! -s "$home/opened" ] || fail "a click on a notice's body opened $(cat "$home/opened")"
    with_link=$(makoctl list | "$py" -c 'import json,sys
for n in json.load(sys.stdin)["data"][0]:
    if "more-info" in n.get("actions", {}).get("data", {}): print(n["id"]["data"]); break')
    [ -n "$with_link" ] || fail "no notice with its link as a button"
    makoctl invoke -n "$with_link" more-info
    wait_for 10 test -s "$home/opened" || fail "the notice's \"More\" opened nothing"
    sleep 2
    [ "$(wc -l <"$home/opened")" -eq 1 ] || fail "the link opened more than once: $(cat "$home/opened")"
    makoctl list | grep -q "\"data\": $with_link\b" && fail "the notice stayed after its link was followed"
    found "link once from its button, then gone; body click inert"
    ;;
esac
end_qgm

# 3. Exit from the tray menu while a request waits on a silent server.
"$py" -c '
import socket, sys, time
s = socket.socket(); s.bind(("127.0.0.1", 0)); s.listen(8)
print(s.getsockname()[1], flush=True)
held = []
while True:
    c, _ = s.accept(); held.append(c)
    open(sys.argv[1], "a").write("accepted\n")
' "$home/silent.log" >"$home/silent.port" &
wait_for 10 test -s "$home/silent.port" || fail "the silent server did not start"
sed -i "s|^api-base = .*|api-base = https://127.0.0.1:$(cat "$home/silent.port")/|" \
  "$XDG_CONFIG_HOME/Corvalink/endpoints.conf"
hive '"StartDelay"=dword:00000001\r\n"MessageReferences"="MAINT-2026-12,RADIO-2026"\r\n'
start_qgm
wait_for 30 test -s "$home/silent.log" || fail "the update never reached the silent server"
wait_for 10 icon_there || fail "no icon"
case $tray in
  sni)
    before=$(probe click Exit)
    ;;
  xembed)
    w=$(icon_window)
    xdotool mousemove --window "$w" 8 8 click 3
    sleep 1
    before=$(now_ms)
    xdotool key Up Return
    ;;
esac
wait_for 10 ended "$qgm_pid" || fail "Exit during a silent request: still running after 10 s"
exit_ms=$(($(now_ms) - before))
[ "$exit_ms" -le 1000 ] || fail "Exit during a silent request took $exit_ms ms (limit 1000)"
found "Exit in $exit_ms ms"

line=$(printf '%s, ' "${findings[@]}")
echo "panel $desktop: ok (${line%, })"
