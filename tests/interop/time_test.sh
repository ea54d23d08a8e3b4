#!/usr/bin/env bash
# The clock check against the RFC 868 time service built into GNU inetd
# (stream form): the offset it reports is near zero.
# usage: time_test.sh QGM_CLI
# shellcheck source=servers.sh
source "$(dirname "$0")/servers.sh"
cli=$1
echo "server: $(server_version inetutils-inetd --version)"

export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$scratch/home/.local
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"

# inetd finds its built-in services by name and their ports in
# /etc/services, so "time" is 37. In a mount namespace of its own it reads
# a copy that puts "time" on a spare port; the machine's file is untouched.
port=$(free_port)
sed -E "s|^time([[:space:]]+)37/|time\\1$port/|" /etc/services >"$scratch/services"
grep -qE "^time[[:space:]]+$port/tcp" "$scratch/services" || fail "no time service line in /etc/services"
if [ "$(id -u)" = 0 ]; then ns=(unshare --mount); else ns=(unshare --map-root-user --mount); fi
if ! "${ns[@]}" true 2>/dev/null; then
  echo "SKIP: no private mount namespace (${ns[*]}) to give inetd's time service a spare port"
  exit 77
fi
echo "127.0.0.1:time stream tcp nowait root internal" >"$scratch/inetd.conf"
"${ns[@]}" sh -c 'mount --bind "$1" /etc/services && exec inetutils-inetd -d --pidfile="$2" "$3"' \
  sh "$scratch/services" "$scratch/inetd.pid" "$scratch/inetd.conf" >"$scratch/inetd.out" 2>&1 &
keep_pid $!
wait_port "$port" || fail "inetd did not listen on port $port: $(cat "$scratch/inetd.out")"

# What the server sends, read here too: its count of seconds since 1900
# against this clock.
raw=$(python3 - "$port" <<'EOF'
import socket, struct, sys, time
s = socket.create_connection(("127.0.0.1", int(sys.argv[1])), 5)
data = b""
while True:
    b = s.recv(64)
    if not b:
        break
    data += b
print(len(data), struct.unpack(">I", data[:4])[0] - 2208988800 - int(time.time()))
EOF
) || fail "no answer from the time service"
read -r bytes server_minus_here <<<"$raw"
echo "the server sent $bytes bytes; its time less this clock's: $server_minus_here s"

rc=0
out=$("$cli" clock --time-host "127.0.0.1:$port" --json) || rc=$?
[ "$rc" = 0 ] || fail "the clock check failed (exit $rc): $out"
offset=$(jq -r .offsetSeconds <<<"$out")
[[ "$offset" =~ ^-?[0-9]+$ ]] || fail "no offset: $out"
[ "${offset#-}" -le 2 ] || fail "offset $offset s from a server on this machine: $out"
[ -n "$(jq -r .text <<<"$out")" ] || fail "no text: $out"
echo "ok: offset $offset s, \"$(jq -r .text <<<"$out")\""
echo "PASS"
