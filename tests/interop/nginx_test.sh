#!/usr/bin/env bash
# The clients against nginx over TLS (a certificate from the test's CA,
# HTTP/2 offered by ALPN, gzip on, a chunked history reply), serving
# replies recorded from the simulator: what the program makes of them must
# be what it makes of the simulator's. The advisories feed is nginx's own
# static file, with nginx's ETag and Last-Modified: a second refresh is
# answered 304 and leaves the list as it was; a changed file is read anew.
#   nginx_test.sh QGM_CLI CORVALINK_SIM QGM_INTEROP_FEED
# shellcheck source=servers.sh
source "$(dirname "$0")/servers.sh"
cli=$1 sim=$2 feed=$3
echo "server: $(server_version nginx -v)"

# The simulator's replies, recorded.
home=$scratch/home www=$scratch/www
mkdir -p "$home" "$www/api/v1.5" "$www/qgm"
"$sim" --state-dir "$home/sim" >"$home/sim.json" &
simpid=$!
keep_pid $simpid
wait_for 30 test -s "$home/sim.json" || fail "the simulator did not start"
field() { sed -E "s/.*\"$1\":\"?([^\",}]*)\"?.*/\1/" "$home/sim.json"; }
simtls=https://localhost:$(field httpsPort) simhttp=http://localhost:$(field httpPort)
record() {  # record URL FILE [curl options]
  local url=$1 file=$2; shift 2
  curl -sSf --cacert "$(field caFile)" "$@" -o "$www/$file" "$url" || fail "cannot record $url"
}
record "$simtls/api/v1.5/" api/v1.5/index.xml -u demo:demo
ids=$(grep -o '<service [^>]*>[0-9]*<' "$www/api/v1.5/index.xml" | sed -E 's/.*>([0-9]+)</\1/')
[ -n "$ids" ] || fail "no service in the recorded service list"
for id in $ids; do
  mkdir -p "$www/api/v1.5/$id"
  record "$simtls/api/v1.5/$id/usage" "api/v1.5/$id/usage.xml" -u demo:demo
  record "$simtls/api/v1.5/$id/service" "api/v1.5/$id/service.xml" -u demo:demo
  for count in 31 950; do
    record "$simtls/api/v1.5/$id/history?count=$count&verbose=1" \
      "api/v1.5/$id/history-$count.xml" -u demo:demo
  done
done
record "$simtls/unmetered_radio_list.txt" unmetered_radio_list.txt
record "$simhttp/qgm/version" qgm/version
record "$simhttp/network-status.rss" network-status.rss

export XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data XDG_RUNTIME_DIR=$home/runtime
mkdir -p "$XDG_CONFIG_HOME/Corvalink" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
endpoints() {  # endpoints API_BASE CA_FILE HOME_SITE FEED: the program's endpoints file
  printf 'api-base = %s\nca-file = %s\nhome-site = %s\nfeeds-url = %s\n' "$@" \
    >"$XDG_CONFIG_HOME/Corvalink/endpoints.conf"
}
# What the program makes of the simulator's replies: the reference. The
# tray hint and the projection depend on the moment they were made; the
# rest must match.
run_all() {  # run_all DIR
  mkdir -p "$1"
  local c
  for c in usage history radio version-check advisories; do
    local account=(--account demo --password demo)
    case $c in version-check | advisories) account=() ;; esac
    "$cli" "$c" --json "${account[@]}" >"$1/$c.json" 2>"$1/$c.err" ||
      fail "$c: $(cat "$1/$c.err")"
    sed -i -E 's/"trayHint":"[^"]*"//; s/"projection":\{[^}]*\}//' "$1/$c.json"
  done
}
endpoints "$simtls/api/v1.5/" "$(field caFile)" "$simhttp/qgm/" "$simhttp/network-status.rss"
run_all "$scratch/reference"
kill $simpid

make_ca
chmod -R a+rX "$www"
tls=$(free_port) plain=$(free_port)
start_nginx "
  server {
    listen 127.0.0.1:$tls ssl http2;
    listen 127.0.0.1:$plain;
    ssl_certificate $scratch/ca/server.pem;
    ssl_certificate_key $scratch/ca/server.key;
    root $www;
    gzip on;
    gzip_min_length 20;
    gzip_types text/xml text/plain application/rss+xml;
    location /api/v1.5/ { index index.xml; }
    location ~ ^/api/v1\.5/([0-9]+)/(usage|service)\$ { try_files /api/v1.5/\$1/\$2.xml =404; }
    # A filter that changes nothing but takes the length away: the reply
    # goes chunked.
    location ~ ^/api/v1\.5/([0-9]+)/history\$ {
      try_files /api/v1.5/\$1/history-\$arg_count.xml =404;
      sub_filter_types text/xml;
      sub_filter 'no such text in a history reply' '';
    }
    location = /qgm/version { default_type text/plain; }
  }" "$tls" "$plain"
nlog=$scratch/nginx/access.log
lines() { if [ -f "$nlog" ]; then wc -l <"$nlog"; else echo 0; fi; }

# The same commands against nginx: the same results.
endpoints "https://localhost:$tls/api/v1.5/" "$scratch/ca/ca.pem" "http://localhost:$plain/qgm/" \
  "http://localhost:$plain/network-status.rss"
run_all "$scratch/nginx-run"
for c in usage history radio version-check advisories; do
  cmp -s "$scratch/reference/$c.json" "$scratch/nginx-run/$c.json" ||
    fail "$c: from nginx $(cat "$scratch/nginx-run/$c.json"), from the simulator $(cat "$scratch/reference/$c.json")"
done
grep -q '"daysRequested":950,.*"days":\[{"date"' "$scratch/nginx-run/history.json" ||
  fail "history: no days read: $(head -c 300 "$scratch/nginx-run/history.json")"
echo "ok: usage, history (chunked), radio list, version file and feed from nginx read as from the simulator"
# Every request of theirs was answered 200 over HTTP/1.1, the API's with
# the account's credentials; the client asked for no compression, so
# nginx sent none.
bad=$(awk '$4 != 200 || $5 != "HTTP/1.1" || $7 != "-"' "$nlog")
[ -z "$bad" ] || fail "requests not answered plainly: $bad"
if grep ' /api/' "$nlog" | grep -v ' "Basic ZGVtbzpkZW1v" '; then fail "API requests above without the account"; fi
grep -q ' /api/v1\.5/[0-9]*/history?count=950' "$nlog" || fail "no history request in nginx's log"
echo "ok: $(lines) requests, all HTTP/1.1 200 uncompressed (the program speaks HTTP/1.1 and asks no Accept-Encoding)"
# What the server offered meanwhile, seen with curl: HTTP/2, gzip and a
# chunked history.
h2=$(curl -sS --http2 --cacert "$scratch/ca/ca.pem" -o /dev/null -w '%{http_version}' \
  "https://localhost:$tls/unmetered_radio_list.txt")
[ "$h2" = 2 ] || fail "nginx did not offer HTTP/2 (curl got $h2)"
tail -1 "$nlog" | grep -q ' HTTP/2.0 ' || fail "nginx's log does not show HTTP/2.0 for curl"
curl -sS --compressed -u demo:demo --cacert "$scratch/ca/ca.pem" -o /dev/null \
  "https://localhost:$tls/api/v1.5/4417825/history?count=950&verbose=1"
tail -1 "$nlog" | awk '$7 == "-" { exit 1 }' || fail "nginx did not compress for a client that asked"
curl -sS --http1.1 -u demo:demo --cacert "$scratch/ca/ca.pem" -D "$scratch/history.headers" -o /dev/null \
  "https://localhost:$tls/api/v1.5/4417825/history?count=950&verbose=1"
grep -qi '^transfer-encoding: chunked' "$scratch/history.headers" || fail "the history reply is not chunked"
echo "ok: nginx offers HTTP/2 (curl: HTTP/$h2), gzip and a chunked history reply"

# The feed, refreshed by one controller: nginx's validators go back, a 304
# keeps the list, a changed file is read anew.
n0=$(lines)
coproc refresher { "$feed" "https://localhost:$tls/network-status.rss" "$scratch/ca/ca.pem"; }
refresh() {
  local answer
  echo >&"${refresher[1]}"
  read -r -t 20 answer <&"${refresher[0]}" || fail "the feed refresher did not answer"
  echo "$answer"
}
first=$(refresh)
second=$(refresh)
headers=$(curl -sSI --cacert "$scratch/ca/ca.pem" "https://localhost:$tls/network-status.rss" | tr -d '\r')
etag=$(sed -n 's/^etag: *//Ip' <<<"$headers") modified=$(sed -n 's/^last-modified: *//Ip' <<<"$headers")
sed -i '0,/<title>/s|<title>\([^<]*\)</title>|<title>\1 (changed)</title>|' "$www/network-status.rss"
touch -d '+1 minute' "$www/network-status.rss"
third=$(refresh)
to_refresher=${refresher[1]}
exec {to_refresher}>&-
# shellcheck disable=SC2154 # set by coproc
wait "$refresher_PID" || fail "the feed refresher failed"
[[ $first == ok$'\t'* ]] || fail "the first feed refresh: $first"
[ "$first" = "$second" ] || fail "the list changed after 304: '$first', then '$second'"
[[ $third == *"(changed)"* ]] || fail "the changed feed was not read: $third"
[ "$(cut -f3- <<<"$first")" = "$(cut -f3- <<<"$third")" ] || fail "the advisories differ: $third"
# The program's three requests (curl asked with HEAD meanwhile).
refreshes=$(tail -n +$((n0 + 1)) "$nlog" | grep -v '^127\.0\.0\.1 HEAD ')
statuses=$(awk '{ print $4 }' <<<"$refreshes" | tr '\n' ' ')
[ "$statuses" = "200 304 200 " ] || fail "the feed was answered $statuses, not 200 304 200"
# The second and third asked with nginx's validators of the first reply.
validators=$(tail -n +2 <<<"$refreshes" | awk -F'"' '{ gsub(/\\x22/, "\"", $4); print $4 "|" $6 }')
[ "$validators" = "$etag|$modified"$'\n'"$etag|$modified" ] ||
  fail "the refreshes asked with '$validators', nginx said ETag $etag, Last-Modified $modified"
echo "validators sent: If-None-Match $etag, If-Modified-Since $modified"
echo "feed: $(cut -f2 <<<"$first") / $(cut -f2 <<<"$third"), $(wc -w <<<"$(cut -f3- <<<"$first")") advisories"
echo "ok: the feed refreshed 200, 304 (list unchanged), 200 after the file changed"
