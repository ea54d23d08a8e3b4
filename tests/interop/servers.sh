# Shared by the interoperability tests, which run the program's clients
# against real servers from Debian on loopback (sourced). Each test gets a
# scratch folder ($scratch) removed at the end, its servers stopped with it.
#   free_port            prints a TCP port nothing listens on
#   wait_port PORT [S]   until something accepts on 127.0.0.1:PORT (S seconds, 20)
#   make_ca              a CA ($scratch/ca/ca.pem) and a server certificate
#                        for localhost ($scratch/ca/server.pem, server.key)
#   make_cert NAME HOST  another server certificate from the same CA
#   keep_pid PID         stop this process when the test ends
#   forget_pid PID       not any more (the test has waited for it itself)
#   fail MESSAGE         print FAIL: MESSAGE and end the test
#   server_version CMD   prints the first line a version command gives
set -euo pipefail
# shellcheck source=../support/wait.sh
source "$(dirname "${BASH_SOURCE[0]}")/../support/wait.sh"

scratch=$(mktemp -d "${TMPDIR:-/tmp}/qgm-interop.XXXXXX")
chmod 755 "$scratch"
_pids=()
keep_pid() { _pids+=("$1"); }
forget_pid() {
  local p kept=()
  for p in "${_pids[@]}"; do [ "$p" = "$1" ] || kept+=("$p"); done
  _pids=("${kept[@]}")
}
_stop_all() {
  local p
  for p in "${_pids[@]}"; do kill "$p" 2>/dev/null || true; done
  for p in "${_pids[@]}"; do wait_for 5 ended "$p" || kill -9 "$p" 2>/dev/null || true; done
  [ -n "${QGM_INTEROP_KEEP:-}" ] && { echo "scratch kept: $scratch"; return; }
  rm -rf "$scratch"
}
trap _stop_all EXIT

fail() { echo "FAIL: $*"; exit 1; }

free_port() {
  python3 -c 'import socket; s=socket.socket(); s.bind(("127.0.0.1",0)); print(s.getsockname()[1])'
}

wait_port() {
  wait_for "${2:-20}" python3 -c 'import socket,sys; socket.create_connection(("127.0.0.1",int(sys.argv[1])),1)' "$1" 2>/dev/null
}

make_cert() {  # make_cert NAME HOST: $scratch/ca/NAME.pem and NAME.key for HOST
  local d=$scratch/ca
  openssl req -new -newkey rsa:2048 -nodes -subj "/CN=$2" -keyout "$d/$1.key" -out "$d/$1.csr" 2>/dev/null
  printf 'subjectAltName=DNS:%s\nextendedKeyUsage=serverAuth\n' "$2" >"$d/$1.ext"
  openssl x509 -req -in "$d/$1.csr" -CA "$d/ca.pem" -CAkey "$d/ca.key" -CAcreateserial \
    -days 2 -sha256 -extfile "$d/$1.ext" -out "$d/$1.pem" 2>/dev/null
  chmod 644 "$d/$1.key"
}

make_ca() {
  local d=$scratch/ca
  mkdir -p "$d"
  openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=QGM interop test CA" \
    -keyout "$d/ca.key" -out "$d/ca.pem" 2>/dev/null
  make_cert server localhost
}

server_version() { "$@" 2>&1 | head -1; }

# nginx in $scratch/nginx, in the foreground, with the server blocks given
# (text inside http { }); its access log ($scratch/nginx/access.log) has one
# line a request: client address, method, target, status, protocol, body
# bytes, gzip ratio, then the request's Authorization, If-None-Match and
# If-Modified-Since headers (each quoted).
#   start_nginx SERVERS PORT...   starts it and waits for each port
start_nginx() {
  local servers=$1 dir=$scratch/nginx p; shift
  mkdir -p "$dir/tmp"
  chown nobody "$dir/tmp" 2>/dev/null || true
  cat >"$dir/nginx.conf" <<CONF
worker_processes 1;
$( [ "$(id -u)" = 0 ] && echo "user nobody nogroup;" )
error_log $dir/error.log info;
pid $dir/nginx.pid;
events { worker_connections 64; }
http {
  default_type application/octet-stream;
  types { text/xml xml rss; text/plain txt; audio/wav wav; }
  log_format interop '\$remote_addr \$request_method \$request_uri \$status \$server_protocol '
                     '\$body_bytes_sent \$gzip_ratio "\$http_authorization" '
                     '"\$http_if_none_match" "\$http_if_modified_since"';
  access_log $dir/access.log interop;
  client_body_temp_path $dir/tmp/body;
  proxy_temp_path $dir/tmp/proxy;
  fastcgi_temp_path $dir/tmp/fastcgi;
  uwsgi_temp_path $dir/tmp/uwsgi;
  scgi_temp_path $dir/tmp/scgi;
$servers
}
CONF
  nginx -p "$dir" -e "$dir/error.log" -c "$dir/nginx.conf" -t -q ||
    fail "nginx does not take its configuration"
  nginx -p "$dir" -e "$dir/error.log" -c "$dir/nginx.conf" -g 'daemon off;' &
  keep_pid $!
  for p in "$@"; do
    wait_port "$p" || fail "nginx did not listen on port $p (see $(tail -3 "$dir/error.log"))"
  done
}
