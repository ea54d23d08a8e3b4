#!/usr/bin/env bash
# Playing a radio channel with mpv (and its MPRIS plugin) on a private
# session bus, as the radio menu does: a running mpv gets the address over
# MPRIS and plays it; with none running, the desktop's entry for playlists
# starts mpv with the address as one argument. The stream is a WAV file of
# silence from nginx, so mpv really fetches and plays it; mpv's IPC socket
# says what it plays.
#   mpv_test.sh QGM_INTEROP_PLAY SESSION_BUS_CONFIG
if [ -z "${QGM_INTEROP_PRIVATE_BUS:-}" ]; then
  QGM_INTEROP_PRIVATE_BUS=1 exec dbus-run-session --config-file "$2" -- "$0" "$@"
fi
# shellcheck source=servers.sh
source "$(dirname "$0")/servers.sh"
play=$1
mpris=$(dpkg -L mpv-mpris | grep '/mpris\.so$' | head -1)
[ -n "$mpris" ] || fail "mpv-mpris has no mpris.so"
echo "player: $(server_version mpv --version), mpv-mpris $(dpkg-query -W -f '${Version}' mpv-mpris) ($mpris)"

# A minute of silence, served by nginx.
mkdir -p "$scratch/www"
python3 - "$scratch/www/silence.wav" <<'PY'
import sys, wave
with wave.open(sys.argv[1], "wb") as w:
    w.setnchannels(1); w.setsampwidth(1); w.setframerate(8000)
    w.writeframes(b"\x80" * 8000 * 60)
PY
chmod -R a+rX "$scratch/www"
port=$(free_port)
start_nginx "server { listen 127.0.0.1:$port; root $scratch/www; }" "$port"
# One argument with what a shell or a player's option parser would split.
address="http://127.0.0.1:$port/silence.wav?channel=a%20b&x=1;y=\$(z)"

# The desktop: playlists open with mpv's entry, whose program is a wrapper
# that keeps its argument list and then runs mpv with an IPC socket.
export XDG_DATA_HOME=$scratch/xdg/data XDG_DATA_DIRS=$scratch/xdg/share
export XDG_CONFIG_HOME=$scratch/xdg/config XDG_CONFIG_DIRS=$scratch/xdg/etc HOME=$scratch
mkdir -p "$XDG_DATA_DIRS/mime" "$XDG_DATA_DIRS/applications" "$XDG_CONFIG_HOME" "$scratch/bin"
echo "50:audio/x-scpls:*.pls" >"$XDG_DATA_DIRS/mime/globs2"
printf '[Default Applications]\naudio/x-scpls=mpv.desktop\n' >"$XDG_CONFIG_HOME/mimeapps.list"
printf '[Desktop Entry]\nType=Application\nName=mpv Media Player\nExec=%s --player-operation-mode=pseudo-gui -- %%U\n' \
  "$scratch/bin/mpv" >"$XDG_DATA_DIRS/applications/mpv.desktop"
cat >"$scratch/bin/mpv" <<WRAPPER
#!/bin/sh
printf '%s\0' "\$@" >"$scratch/argv.part" && mv "$scratch/argv.part" "$scratch/argv"
echo \$\$ >"$scratch/launched.pid"
exec mpv --no-config --vo=null --ao=null --script=$mpris --input-ipc-server=$scratch/launched.sock "\$@" >"$scratch/launched.log" 2>&1
WRAPPER
chmod +x "$scratch/bin/mpv"

ipc() {  # ipc SOCKET PROPERTY [VALUE]: the property's value as JSON, or set to VALUE (JSON)
  python3 - "$@" <<'PY'
import json, socket, sys
s = socket.socket(socket.AF_UNIX)
s.settimeout(2)
s.connect(sys.argv[1])
command = ["get_property", sys.argv[2]] if len(sys.argv) == 3 else \
    ["set_property", sys.argv[2], json.loads(sys.argv[3])]
s.sendall(json.dumps({"command": command, "request_id": 7}).encode() + b"\n")
buf = b""
while True:
    chunk = s.recv(65536)
    if not chunk:
        sys.exit(1)
    buf += chunk
    for line in buf.split(b"\n")[:-1]:
        reply = json.loads(line)
        if reply.get("request_id") == 7:
            if reply.get("error") != "success":
                sys.exit(1)
            print(json.dumps(reply.get("data")))
            sys.exit(0)
PY
}
plays() {  # plays SOCKET [ADDRESS]: mpv plays the address (its path, unpaused, time going on)
  local address=${2:-$address}
  [ "$(ipc "$1" path 2>/dev/null)" = "$(python3 -c 'import json,sys; print(json.dumps(sys.argv[1]))' "$address")" ] &&
    [ "$(ipc "$1" pause 2>/dev/null)" = false ] &&
    python3 -c 'import sys; sys.exit(0 if float(sys.argv[1]) > 0 else 1)' "$(ipc "$1" playback-time 2>/dev/null || echo 0)"
}
mpris_names() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus / org.freedesktop.DBus.ListNames |
    grep -o '"org\.mpris\.MediaPlayer2\.[^"]*"' || true
}
on_bus() { [ -n "$(mpris_names)" ]; }
off_bus() { [ -z "$(mpris_names)" ]; }

# 1. A running mpv, paused: the address goes to it over MPRIS, and Play
# sets it going.
mpv --no-config --idle --pause --vo=null --ao=null --script="$mpris" \
  --input-ipc-server="$scratch/running.sock" >"$scratch/running.log" 2>&1 &
running=$!
keep_pid $running
wait_for 20 on_bus || fail "mpv did not come on the bus ($(cat "$scratch/running.log"))"
echo "on the bus: $(mpris_names | tr '\n' ' ')"
out=$("$play" "$address") || fail "the running player was not reached: $out"
[ "$out" = "running $scratch/bin/mpv" ] || fail "not handed to the running mpv: $out"
wait_for 20 plays "$scratch/running.sock" ||
  fail "the running mpv does not play the address (path $(ipc "$scratch/running.sock" path), pause $(ipc "$scratch/running.sock" pause))"
[ ! -e "$scratch/argv" ] || fail "a second mpv was started beside the running one"
# shellcheck disable=SC2016 # the address's own text
grep -qF 'GET /silence.wav?channel=a%20b&x=1;y=$(z) 20' "$scratch/nginx/access.log" ||
  fail "mpv did not fetch the stream: $(cat "$scratch/nginx/access.log")"
echo "ok: the running mpv was sent the address over MPRIS and plays it (IPC path $(ipc "$scratch/running.sock" path))"

# 2. No mpv running: the desktop entry's program starts with the address.
kill $running
wait_for 10 ended $running || fail "mpv did not stop"
wait_for 10 off_bus || fail "mpv's name stayed on the bus"
out=$("$play" "$address") || fail "the player was not started: $out"
[ "$out" = started ] || fail "not started from the desktop entry: $out"
wait_for 10 test -s "$scratch/launched.pid" || fail "the desktop entry's program did not run"
keep_pid "$(cat "$scratch/launched.pid")"
python3 - "$scratch/argv" "$address" <<'PY' || fail "the player's arguments are not the entry's with the address as one"
import sys
args = open(sys.argv[1], "rb").read().split(b"\0")[:-1]
want = [b"--player-operation-mode=pseudo-gui", b"--", sys.argv[2].encode()]
print("arguments:", args)
sys.exit(0 if args == want else 1)
PY
wait_for 20 plays "$scratch/launched.sock" ||
  fail "the started mpv does not play the address (path $(ipc "$scratch/launched.sock" path 2>&1)): $(tail -5 "$scratch/launched.log")"
echo "ok: with none running, the desktop entry started mpv with the address as one argument; it plays it"

# 3. The started mpv is the running one for the next channel.
wait_for 20 on_bus || fail "the started mpv did not come on the bus: $(tail -5 "$scratch/launched.log")"
pid=$(cat "$scratch/launched.pid")
ipc "$scratch/launched.sock" pause true >/dev/null || fail "the started mpv could not be paused"
next="http://127.0.0.1:$port/silence.wav?channel=next"
out=$("$play" "$next") || fail "the started mpv was not reached: $out"
[ "$out" = "running $scratch/bin/mpv" ] || fail "the next channel did not go to the started mpv: $out"
wait_for 20 plays "$scratch/launched.sock" "$next" ||
  fail "the started mpv does not play the next channel (path $(ipc "$scratch/launched.sock" path))"
[ "$(cat "$scratch/launched.pid")" = "$pid" ] || fail "another mpv was started for the next channel"
echo "ok: the next channel went over MPRIS to the mpv the desktop entry started"
