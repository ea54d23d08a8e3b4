#!/usr/bin/env bash
# qgm-cli through squid with Basic proxy authentication: every client the
# program has (usage and notices, history, advisories feed, radio list,
# version file, call months) takes the stored proxy settings, and nothing
# goes around the proxy. squid connects out from 127.0.0.2; the origin is
# nginx in front of the simulator, and nginx's log must show every request
# coming from there, one squid transaction each.
#   squid_test.sh QGM_CLI CORVALINK_SIM
# shellcheck source=servers.sh
source "$(dirname "$0")/servers.sh"
cli=$1 sim=$2
echo "server: $(server_version squid -v)"

make_ca
sq=$scratch/squid
mkdir -p "$sq"
proxy_user=meter proxy_password='s3cret pass'
printf '%s:%s\n' "$proxy_user" "$(openssl passwd -apr1 "$proxy_password")" >"$sq/passwd"
# squid's own name table: localhost is only 127.0.0.1 (nginx listens there).
echo "127.0.0.1 localhost" >"$sq/hosts"
sport=$(free_port)
cat >"$sq/squid.conf" <<CONF
http_port 127.0.0.1:$sport
pid_filename $sq/squid.pid
cache_log $sq/cache.log
logformat interop %>a %rm %ru %>Hs %un
access_log stdio:$sq/access.log interop
cache_store_log none
coredump_dir $sq
netdb_filename none
cache_effective_user nobody
cache deny all
hosts_file $sq/hosts
tcp_outgoing_address 127.0.0.2
shutdown_lifetime 0 seconds
auth_param basic program /usr/lib/squid/basic_ncsa_auth $sq/passwd
auth_param basic realm QGM interop proxy
acl authenticated proxy_auth REQUIRED
http_access allow authenticated
http_access deny all
CONF
chown -R nobody "$sq" 2>/dev/null || true
squid -N -f "$sq/squid.conf" &
keep_pid $!
wait_port "$sport" 30 || fail "squid did not listen (cache.log: $(tail -5 "$sq/cache.log"))"

# The simulator, behind nginx (TLS with the test's CA for the API host,
# plain HTTP for the feed and the home site).
home=$scratch/home
mkdir -p "$home"
"$sim" --state-dir "$home/sim" >"$home/sim.json" &
keep_pid $!
wait_for 30 test -s "$home/sim.json" || fail "the simulator did not start"
field() { sed -E "s/.*\"$1\":\"?([^\",}]*)\"?.*/\1/" "$home/sim.json"; }
tls=$(free_port) plain=$(free_port)
start_nginx "
  server {
    listen 127.0.0.1:$tls ssl;
    ssl_certificate $scratch/ca/server.pem;
    ssl_certificate_key $scratch/ca/server.key;
    location / { proxy_pass https://127.0.0.1:$(field httpsPort); }
  }
  server {
    listen 127.0.0.1:$plain;
    location / { proxy_pass http://127.0.0.1:$(field httpPort); }
  }" "$tls" "$plain"
nlog=$scratch/nginx/access.log slog=$sq/access.log

export XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime
mkdir -p "$XDG_CONFIG_HOME/Corvalink" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
cat >"$XDG_CONFIG_HOME/Corvalink/endpoints.conf" <<CONF
api-base = https://localhost:$tls/api/v1.5/
ca-file = $scratch/ca/ca.pem
feeds-url = http://localhost:$plain/network-status.rss
home-site = http://localhost:$plain/qgm/
CONF
# The registry's hex form of a password as the program keeps it.
scrambled() {
  python3 -c 'import sys; print(",".join("%02x" % ((b + 13) if b <= 242 else b - 242) for b in sys.argv[1].encode("cp1252")))' "$1"
}
write_settings() {  # write_settings PROXY_PASSWORD
  printf '%s\r\n' 'REGEDIT4' '' '[HKEY_CURRENT_USER\Software\Corvalink\QuotaGaugeData]' \
    '"accountType"=dword:00000000' '"home"="demo"' "\"home2\"=hex:$(scrambled demo)" \
    '"CallhavenNo1"="0298765432"' "\"CallhavenNo2\"=hex:$(scrambled callhaven)" \
    '"UseProxy"=dword:00000001' '"ProxyAddress"="127.0.0.1"' \
    "\"ProxyPort\"=dword:$(printf %08x "$sport")" "\"ProxyUsername\"=\"$proxy_user\"" \
    "\"b4\"=hex:$(scrambled "$1")" >"$XDG_CONFIG_HOME/Corvalink/registry.reg"
}
write_settings "$proxy_password"

logged_since() { [ $(($(transactions | wc -l) - $1)) -ge "$2" ]; }  # logged_since BEFORE COUNT
lines() { if [ -f "$1" ]; then wc -l <"$1"; else echo 0; fi; }
# squid's transactions, without the port probe's empty connection.
transactions() { grep -v 'error:transaction-end-before-headers' "$slog" 2>/dev/null || true; }
# through NAME PATH-PATTERN COMMAND...: runs a qgm-cli command and checks
# its requests: each reached nginx from squid's address, the paths match the
# pattern, and squid logged as many transactions for the proxy user.
through() {
  local name=$1 pattern=$2 n0 s0 n s; shift 2
  n0=$(lines "$nlog") s0=$(transactions | wc -l)
  "$cli" "$@" >"$scratch/$name.out" 2>"$scratch/$name.err" ||
    fail "$name through the proxy: $(cat "$scratch/$name.err")"
  n=$(($(lines "$nlog") - n0))
  [ "$n" -gt 0 ] || fail "$name: no request reached the server"
  # squid writes a tunnel's line when it closes, a moment after the client.
  wait_for 10 logged_since "$s0" "$n" ||
    fail "$name: $n requests at the server, $(($(transactions | wc -l) - s0)) through squid"
  s=$(($(transactions | wc -l) - s0))
  [ "$s" -eq "$n" ] || fail "$name: $n requests at the server but $s through squid"
  local new
  new=$(tail -n "$n" "$nlog")
  if grep -v '^127\.0\.0\.2 ' <<<"$new"; then fail "$name: the requests above went around squid"; fi
  if awk '{ print $3 }' <<<"$new" | grep -Ev "$pattern"; then
    fail "$name: unexpected requests above"
  fi
  local bad
  bad=$(transactions | tail -n "$s" | awk -v u="$proxy_user" '$5 != u || $4 !~ /^2/')
  [ -z "$bad" ] || fail "$name: squid transactions not the proxy user's, or failed: $bad"
  echo "ok: $name, $n requests through squid ($(awk '{ print $3 }' <<<"$new" | sort -u | head -3 | tr '\n' ' '))"
}

through usage '^/api/v1\.5/' usage --json
grep -q '"notices"' "$scratch/usage.out" || fail "usage: no notices in $(cat "$scratch/usage.out")"
through history '^/api/v1\.5/' history --json
tail -n 3 "$nlog" | grep -q '/history?count=' || fail "history: no history request"
through advisories '^/network-status\.rss$' advisories --json
grep -q '"advisories":\[{' "$scratch/advisories.out" || fail "advisories: none read"
through radio '^/unmetered_radio_list\.txt$' radio --json
grep -q '"caption":"CVK Classic FM"' "$scratch/radio.out" || fail "radio: $(cat "$scratch/radio.out")"
through version-check '^/qgm/version$' version-check --json
grep -q '"body":"\*"' "$scratch/version-check.out" || fail "version-check: $(cat "$scratch/version-check.out")"
through calls '^/cgi-bin/ch-usage\?date=' calls --json
[ "$(grep -o '"month"' "$scratch/calls.out" | wc -l)" -eq 28 ] || fail "calls: not 28 months in $(cat "$scratch/calls.out")"
# The CONNECT tunnels went to the API host, the feed by its full address.
grep -q "CONNECT localhost:$tls " "$slog" || fail "no CONNECT to the API host in squid's log"
grep -q "GET http://localhost:$plain/network-status.rss " "$slog" || fail "the feed is not in squid's log"

# A wrong proxy password: squid answers 407 and nothing reaches the server.
# The clients give the proxy's status line, over a tunnel as for a plain
# request; the call months only say that none came.
write_settings "not the password"
n0=$(lines "$nlog") s0=$(transactions | wc -l)
for command in usage history radio advisories version-check calls; do
  if "$cli" "$command" >"$scratch/wrong.out" 2>"$scratch/wrong.err"; then
    fail "$command succeeded with a wrong proxy password"
  fi
  echo "wrong proxy password, $command says: $(cat "$scratch/wrong.err")"
  [ $command = calls ] && continue
  grep -q "407 Proxy Authentication Required" "$scratch/wrong.err" ||
    fail "$command: the message does not say that the proxy refused"
done
[ "$(lines "$nlog")" -eq "$n0" ] || fail "a request reached the server past a refused proxy"
wait_for 10 logged_since "$s0" 6 || fail "not every command asked squid"
refused=$(transactions | tail -n +$((s0 + 1)))
if grep -v ' 407 [^ ]*$' <<<"$refused"; then fail "squid did not refuse the above"; fi
echo "ok: a wrong proxy password is refused by squid (407) and said"
