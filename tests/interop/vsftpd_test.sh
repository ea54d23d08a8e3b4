#!/usr/bin/env bash
# The four-stream download test against vsftpd (anonymous, passive mode):
# a whole run with curl's figures beside ours, a stop by Ctrl+C in the
# middle of the transfers, and a server that refuses the fourth connection.
# usage: vsftpd_test.sh QGM_CLI
# shellcheck source=servers.sh
source "$(dirname "$0")/servers.sh"
cli=$1
echo "server: $(vsftpd -v 0>&1 | head -1) (package $(dpkg-query -W -f '${Version}' vsftpd 2>/dev/null || echo '?'))"

export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$scratch/home/.local
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"

size=10485760
mkdir -p "$scratch/ftp/pub/test" "$scratch/empty"
head -c $size /dev/urandom >"$scratch/ftp/pub/test/10meg.test"
chmod -R a+rX,go-w "$scratch/ftp" "$scratch/empty"
if [ "$(id -u)" = 0 ]; then
  # Anonymous sessions run as the package's ftp user, chrooted to the root.
  getent passwd ftp >/dev/null || fail "no user ftp for anonymous sessions"
  who="ftp_username=ftp"
else
  who="run_as_launching_user=YES"
fi

# start_vsftpd NAME [SETTING...]: a server with its own configuration and
# log ($scratch/NAME.log); its port in $port.
start_vsftpd() {
  local name=$1
  shift
  port=$(free_port)
  {
    cat <<EOF
listen=YES
listen_ipv6=NO
listen_address=127.0.0.1
listen_port=$port
background=NO
anonymous_enable=YES
local_enable=NO
write_enable=NO
no_anon_password=YES
anon_root=$scratch/ftp
$who
secure_chroot_dir=$scratch/empty
pasv_enable=YES
pasv_address=127.0.0.1
seccomp_sandbox=NO
syslog_enable=NO
xferlog_enable=YES
xferlog_std_format=NO
log_ftp_protocol=YES
vsftpd_log_file=$scratch/$name.log
EOF
    printf '%s\n' "$@"
  } >"$scratch/$name.conf"
  vsftpd "$scratch/$name.conf" >"$scratch/$name.out" 2>&1 &
  keep_pid $!
  wait_port "$port" || fail "vsftpd ($name) did not listen on port $port: $(cat "$scratch/$name.out")"
}
# logged NAME PATTERN: how many lines of NAME's log match.
logged() { grep -c -- "$2" "$scratch/$1.log" || true; }
# logged_at_least NAME PATTERN N
logged_at_least() { [ "$(logged "$1" "$2")" -ge "$3" ]; }
field() { jq -r "$1" <<<"$out"; }

# A whole run at the loopback's pace, and curl's figures for the same file
# from the same server: one download, then four at once.
start_vsftpd plain
out=$(timeout 60 "$cli" download-test --mirror-host "127.0.0.1:$port" --json) ||
  fail "the download test failed (exit $?): $out"
[ "$(field '[.streams[] | select(.completed and .bytes == '$size')] | length')" = 4 ] ||
  fail "not four whole files: $out"
[ "$(field .bytes)" = $((4 * size)) ] && [ "$(field .stopped)" = false ] || fail "totals: $out"
wait_for 10 logged_at_least plain "OK DOWNLOAD.*/pub/test/10meg.test\", $size bytes" 4 ||
  fail "vsftpd logged $(logged plain "OK DOWNLOAD") whole downloads, not 4"
# Passive mode, binary, anonymous, the file by its folder and name.
for command in '"USER anonymous"' '"CWD pub/test"' '"PASV"' '"TYPE I"' '"RETR 10meg.test"'; do
  [ "$(logged plain "FTP command: .*$command")" = 4 ] || fail "not 4 times $command: $(grep 'FTP command' "$scratch/plain.log")"
done
[ "$(logged plain 'FTP command: .*"\(EPSV\|PORT\|EPRT\)')" = 0 ] || fail "a mode other than PASV was asked for"
ours="$(field .mbPerSecond) MB/s for all four ($(field '[.streams[].mbPerSecond] | join(", ")') MB/s each)"
url="ftp://127.0.0.1:$port/pub/test/10meg.test"
one=$(curl -sS -o /dev/null -w '%{speed_download}' "$url") || fail "curl could not download $url"
four=$(curl -sS --no-progress-meter -Z --parallel-max 4 -w '%{speed_download}\n' -o /dev/null -o /dev/null -o /dev/null -o /dev/null \
  "$url" "$url" "$url" "$url") || fail "curl could not download $url four times"
mb() { awk '{ s += $1 } END { printf "%.2f", s / 1048576 }'; }
echo "ok: four whole files over passive anonymous sessions"
echo "figures: qgm-cli $ours; curl one file $(mb <<<"$one") MB/s, four at once $(mb <<<"$four") MB/s together"

# Ctrl+C while all four transfers receive (the server sends 1 MB/s each):
# what was received is reported and the command ends cleanly.
start_vsftpd paced anon_max_rate=1000000
"$cli" download-test --mirror-host "127.0.0.1:$port" --json >"$scratch/stopped.json" &
run=$!
keep_pid $run
# The client's four data connections, each once it has received 100 kB.
receiving() {
  [ "$(ss -Htnpi state established 2>/dev/null | grep -A1 "pid=$1," |
    grep -oE 'bytes_received:[0-9]+' | awk -F: '$2 >= 100000' | wc -l)" -ge 4 ]
}
wait_for 20 receiving $run ||
  fail "the four transfers did not get going: $(grep -c '"RETR' "$scratch/paced.log") RETR logged"
kill -INT $run
wait_for 10 ended "$run" || fail "the download test did not end within 10 s of Ctrl+C"
rc=0
wait "$run" || rc=$?
forget_pid $run
[ "$rc" = 0 ] || fail "stopped: exit $rc: $(cat "$scratch/stopped.json")"
out=$(cat "$scratch/stopped.json")
[ "$(field .stopped)" = true ] || fail "not reported as stopped: $out"
[ "$(field '[.streams[] | select((.completed | not) and .bytes >= 100000 and .bytes < '$size')] | length')" = 4 ] ||
  fail "not four part-files: $out"
[ "$(field '[.streams[].bytes] | add')" = "$(field .bytes)" ] || fail "the total is not the sum: $out"
wait_for 10 logged_at_least paced "FAIL DOWNLOAD" 4 ||
  fail "vsftpd saw $(logged paced "FAIL DOWNLOAD") transfers broken off, not 4"
echo "ok: Ctrl+C mid-transfer: $(field .bytes) bytes reported, stopped, exit 0; vsftpd saw 4 transfers broken off"

# Three sessions at most: the fourth connection is greeted with 421. The
# other three complete (20 MB/s each keeps them connected while it comes).
start_vsftpd limited max_clients=3 anon_max_rate=20000000
rc=0
out=$(timeout 60 "$cli" download-test --mirror-host "127.0.0.1:$port") || rc=$?
[ "$rc" != 124 ] || fail "the download test hung on a refused connection"
[ "$rc" = 0 ] || fail "exit $rc: $out"
refused=$(grep -c "^stream [1-4]: 0 bytes in .*(421 There are too many connected users, please try later.)$" <<<"$out" || true)
whole=$(grep -c "^stream [1-4]: $size bytes in [0-9.]* s, [0-9.]* MB/s$" <<<"$out" || true)
[ "$refused" = 1 ] && [ "$whole" = 3 ] || fail "not one refused and three whole:
$out"
echo "ok: the fourth connection refused, reported as: $(grep 421 <<<"$out")"
echo "PASS"
