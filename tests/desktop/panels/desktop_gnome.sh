# GNOME Shell on X11 (Debian's default desktop) with the AppIndicator
# extension Debian ships for its status tray, the shell its own
# notification server. The top bar is drawn by the shell itself: there is
# no window of its own to find, only the strip the work area leaves.
start_gnome() {
  command -v gjs >/dev/null || fail "no gjs, in which GNOME Shell's notification service runs"
  x_display 74
  tray=sni
  export XDG_CURRENT_DESKTOP=GNOME XDG_SESSION_TYPE=x11
  # The services the bus starts (dconf) work in this home, as a session
  # manager arranges it.
  dbus-update-activation-environment DISPLAY HOME XDG_CONFIG_HOME XDG_DATA_HOME XDG_RUNTIME_DIR \
    XDG_CURRENT_DESKTOP XDG_SESSION_TYPE || fail "the session bus took no environment"
  gsettings set org.gnome.shell enabled-extensions "['ubuntu-appindicators@ubuntu.com']" ||
    fail "could not enable the AppIndicator extension"
  # A system bus of the session's own: the shell asks logind whenever the
  # machine looks like systemd's, and must not find the machine's services.
  cat >"$home/system-bus.conf" <<CONF
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-BUS Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$home/system-bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*"/>
    <allow receive_sender="*"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONF
  dbus-daemon --config-file="$home/system-bus.conf" --nofork --nopidfile >"$home/system-bus.log" 2>&1 &
  wait_for 10 test -S "$home/system-bus" || fail "the session's system bus did not start"
  DBUS_SYSTEM_BUS_ADDRESS=unix:path=$home/system-bus gnome-shell --x11 --replace >"$home/wm.log" 2>&1 &
  wait_for 60 watcher_ready || fail "GNOME Shell's AppIndicator extension did not start"
  # The shell opens on its overview, the bar see-through; the user leaves
  # it for the desktop.
  overview() {
    gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell \
      -m org.freedesktop.DBus.Properties.Get org.gnome.Shell OverviewActive 2>/dev/null | grep -q "<$1>"
  }
  wait_for 30 overview true || fail "GNOME Shell did not open on its overview"
  gdbus call --session -d org.gnome.Shell -o /org/gnome/Shell \
    -m org.freedesktop.DBus.Properties.Set org.gnome.Shell OverviewActive '<false>' >/dev/null
  wait_for 10 overview false || fail "GNOME Shell's overview did not close"
  work_area() { x_work_area; }
  panel_rect() { local y; read -r _ y _ < <(work_area); echo "0 0 1024 $y"; }
  [ "$(panel_rect)" != "0 0 1024 0" ] || fail "GNOME Shell's work area leaves no top bar: $(work_area)"
  panel_png() { x_shot; px xwd-crop "$home/shot.xwd" $(panel_rect) "$1"; }
  # The tray menu is drawn on the shell's stage like the bar: no window of
  # its own to measure.
  menu_check=no
  # The shell's notification service, which the bus would start for the
  # shell in a session; it hands every notice to the shell.
  gjs /usr/share/gnome-shell/org.gnome.Shell.Notifications >"$home/notifier.log" 2>&1 &
  wait_for 20 bash -c 'gdbus call --session -d org.freedesktop.DBus -o /org/freedesktop/DBus \
    -m org.freedesktop.DBus.NameHasOwner org.freedesktop.Notifications | grep -q true' ||
    fail "GNOME Shell's notification service did not start"
  notifier=gnome-shell
}
