# sway with waybar (Debian's own configuration and style, its tray on the
# right) and mako, headless. sway refuses root: panel_session.sh runs this
# desktop's session as a user of its own.
start_sway() {
  qpa=wayland
  tray=sni
  export WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman
  export XDG_CURRENT_DESKTOP=sway XDG_SESSION_TYPE=wayland
  cat >"$home/sway.conf" <<'CONF'
output HEADLESS-1 resolution 1024x768
bar {
  swaybar_command waybar
}
CONF
  unset WAYLAND_DISPLAY DISPLAY
  sway -c "$home/sway.conf" >"$home/wm.log" 2>&1 &
  wait_for 20 compgen -G "$XDG_RUNTIME_DIR/wayland-*" >/dev/null || fail "sway did not start"
  export WAYLAND_DISPLAY
  WAYLAND_DISPLAY=$(basename "$(compgen -G "$XDG_RUNTIME_DIR/wayland-[0-9]" | head -n 1)")
  export SWAYSOCK
  SWAYSOCK=$(compgen -G "$XDG_RUNTIME_DIR/sway-ipc.*.sock" | head -n 1)
  wait_for 30 watcher_ready || fail "waybar's tray did not start"
  # The bar's place: the output less the workspace's area.
  work_area() {
    swaymsg -t get_workspaces -r | "$py" -c 'import json, sys
r = [w["rect"] for w in json.load(sys.stdin) if w["focused"]][0]
print(r["x"], r["y"], r["width"], r["height"])'
  }
  panel_rect() {
    local x y w h
    read -r x y w h < <(work_area)
    if [ "$y" -gt 0 ]; then echo "0 0 1024 $y"; else echo "0 $h 1024 $((768 - h))"; fi
  }
  panel_png() { local r; r=($(panel_rect)); grim -g "${r[0]},${r[1]} ${r[2]}x${r[3]}" "$1"; }
  mako >"$home/notifier.log" 2>&1 &
  notifier=mako
}
