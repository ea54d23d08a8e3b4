#!/usr/bin/env bash
# What an install may have added to the machine's services, in plain bash
# (it runs before anything of ours is installed):
#
#   system_services.sh snapshot FILE   record the system units, init
#                                      scripts, enabled links and listening
#                                      sockets
#   system_services.sh compare FILE    fail, naming each one, if any was
#                                      added since the snapshot
#   system_services.sh servers         fail, naming the unit, if a test
#                                      server (scripts/install-deps.sh
#                                      --servers) is enabled at boot or
#                                      running
set -euo pipefail
cd "$(dirname "$0")/../.."

# One line per service a boot could start, and per listening socket.
state() {
  local d f
  for d in /lib/systemd/system /usr/lib/systemd/system /etc/systemd/system; do
    [ -d "$d" ] || continue
    find "$d" \( -name '*.service' -o -name '*.socket' -o -name '*.timer' \) \
      \( -type f -o -type l \) -printf 'unit %P\n' 2>/dev/null
  done
  for f in /etc/init.d/* /etc/rc[2-5].d/S*; do
    [ -e "$f" ] && echo "init $f"
  done
  # TCP sockets in LISTEN state, and UDP sockets bound to a service port
  # (below 1024: a client's own UDP sockets come and go above it).
  for f in /proc/net/tcp /proc/net/tcp6 /proc/net/udp /proc/net/udp6; do
    [ -r "$f" ] || continue
    awk -v proto="${f##*/}" 'NR > 1 {
        split($2, a, ":"); port = 0
        for (i = 1; i <= length(a[2]); i++)
          port = port * 16 + index("0123456789ABCDEF", substr(a[2], i, 1)) - 1
        if ($4 == "0A" || (proto ~ /udp/ && port < 1024)) printf "listen %s %d\n", proto, port }' "$f"
  done
}

case "${1:-}" in
  snapshot)
    state | sort -u >"$2"
    ;;
  compare)
    added=$(comm -13 "$2" <(state | sort -u))
    if [ -n "$added" ]; then
      echo "system services: the install added:" >&2
      sed 's/^/  /' <<<"$added" >&2
      exit 1
    fi
    echo "system services: the install added no unit, init script or listening socket"
    ;;
  servers)
    status=0
    for unit in $(scripts/install-deps.sh --servers); do
      name=${unit%.*}
      for link in /etc/systemd/system/*.wants/"$unit" /etc/rc[2-5].d/S[0-9][0-9]"$name"; do
        if [ -e "$link" ] || [ -L "$link" ]; then
          echo "system services: $unit is enabled ($link)" >&2
          status=1
        fi
      done
      if [ -d /run/systemd/system ] && [ "$(systemctl is-enabled "$unit" 2>/dev/null)" = enabled ]; then
        echo "system services: $unit is enabled (systemctl)" >&2
        status=1
      fi
    done
    # A server process that holds a listening socket, and is not one of a
    # running test's (those run on a scratch folder "qgm-interop.*").
    inodes=$(for f in /proc/net/tcp /proc/net/tcp6; do
      awk 'NR > 1 && $4 == "0A" { print $10 }' "$f"; done | sort -u)
    for p in /proc/[0-9]*; do
      comm=$(cat "$p/comm" 2>/dev/null) || continue
      case "$comm" in dovecot | vsftpd | inetutils-inetd | inetd | syslogd | squid | nginx) ;; *) continue ;; esac
      tr '\0' ' ' <"$p/cmdline" 2>/dev/null | grep -q "qgm-interop\." && continue
      for fd in "$p"/fd/*; do
        target=$(readlink "$fd" 2>/dev/null) || continue
        inode=${target#"socket:["}
        inode=${inode%"]"}
        [ "$inode" != "$target" ] || continue
        if grep -qxF "$inode" <<<"$inodes"; then
          echo "system services: $comm (pid ${p#/proc/}) is listening" >&2
          status=1
          break
        fi
      done
    done
    [ $status -eq 0 ] && echo "system services: no test server is enabled or listening"
    exit $status
    ;;
  *)
    sed -n '2,14p' "$0" | sed 's/^# \{0,1\}//' >&2
    exit 2
    ;;
esac
