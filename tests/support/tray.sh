# For the tests and benchmarks that look for a tray icon on X11 (sourced).
# tray_icon_window PID: prints the id of the first of the process's small
# windows (64 pixels or less each way) that a tray took in: its parent is
# not the root window. A window manager's frame is a parent too, so the
# size tells the icon from a framed window.
tray_icon_window() {
  local w info parent width height
  [ -n "${tray_root:-}" ] || tray_root=$(xwininfo -root | awk '/Window id:/ { print $4 }')
  for w in $(xdotool search --pid "$1" 2>/dev/null); do
    info=$(xwininfo -id "$w" -children 2>/dev/null) || continue
    parent=$(awk '/Parent window id:/ { print $4 }' <<<"$info")
    [ -n "$parent" ] && [ "$parent" != "$tray_root" ] || continue
    read -r width height < <(xwininfo -id "$w" | awk '/^ *Width/ {w=$2} /^ *Height/ {h=$2} END {print w, h}')
    if [ "${width:-99}" -le 64 ] && [ "${height:-99}" -le 64 ]; then
      echo "$w"
      return 0
    fi
  done
  return 1
}
