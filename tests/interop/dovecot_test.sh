#!/usr/bin/env bash
# The mail check against dovecot's POP3 server over TLS: the result per
# mailbox, the TOP commands it sends (from dovecot's raw session log), a
# refused login, a mailbox of 500 messages, and certificate checks.
# usage: dovecot_test.sh QGM_CLI
# shellcheck source=servers.sh
source "$(dirname "$0")/servers.sh"
cli=$1
echo "server: dovecot $(server_version dovecot --version)"

export HOME=$scratch/home XDG_CONFIG_HOME=$scratch/home/.config XDG_DATA_HOME=$scratch/home/.local
mkdir -p "$XDG_CONFIG_HOME" "$XDG_DATA_HOME"
make_ca

# Dovecot's login and internal processes never run as root, and it serves
# no mailbox owned by uid 0: as root, everything runs as nobody.
if [ "$(id -u)" = 0 ]; then owner=nobody; else owner=$(id -un); fi
uid=$(id -u "$owner")
gid=$(id -g "$owner")
group=$(id -gn "$owner")
voicemail=voicemail@callhaven.corvalink.com

# message MAILDIR N FROM STATUS: the Nth oldest message ("" STATUS: no
# status line). Dovecot numbers a Maildir's messages by the time in their
# file names.
message() {
  {
    printf 'Return-Path: <%s>\nFrom: %s\nTo: customer@corvalink.com\n' "$3" "$3"
    printf 'Subject: message %s\nMessage-ID: <%s@interop.test>\n' "$2" "$2"
    [ -z "$4" ] || printf 'Status: %s\n' "$4"
    printf '\n.a body line beginning with a dot\nmessage %s\n' "$2"
  } >"$1/cur/$((1700000000 + $2)).M$2P1.interop:2,"
}
# mailbox NAME STATUS/FROM...: a Maildir user "NAME" (password NAME-pw)
# with one message per argument, oldest first; an argument "U/vm" is an
# unread message from the voicemail sender, "RO", "U" or "-" (no status
# line) one from an ordinary sender.
mailbox() {
  local name=$1 dir=$scratch/mail/$1 n=0 arg
  shift
  mkdir -p "$dir"/{cur,new,tmp} "$scratch/raw/$name"
  for arg in "$@"; do
    n=$((n + 1))
    local status=${arg%/vm} from="Friend <friend@example.net>"
    [ "$status" = "$arg" ] || from="Voicemail <$voicemail>"
    [ "$status" != - ] || status=
    message "$dir" "$n" "$from" "$status"
  done
  echo "$name:{PLAIN}$name-pw:$uid:$gid::$dir" >>"$scratch/passwd"
}

mailbox alice RO U/vm U   # new mail and voicemail: the scan stops at the voicemail
mailbox bob U RO U        # new mail: the scan stops at the read message
mailbox carol U/vm RO     # the newest is read: nothing
mailbox dave U -          # the newest has no status line: counts as read
mailbox empty
many=()
for i in $(seq 500); do many+=(U); done
mailbox many "${many[@]}"     # only the newest 100 are read
many[419]=U/vm
mailbox crowd "${many[@]}"    # voicemail as the 420th of 500
# An mbox mailbox: dovecot keeps the mbox Status line to itself.
mkdir -p "$scratch/mail/mbox" "$scratch/raw/mbox"
printf 'From friend@example.net Thu Jan  1 00:00:00 2026\nFrom: friend@example.net\nSubject: unread\nStatus: U\n\nbody\n\n' \
  >"$scratch/mail/mbox/inbox"
echo "mbox:{PLAIN}mbox-pw:$uid:$gid::$scratch/mail/mbox::userdb_mail=mbox:~/:INBOX=~/inbox" \
  >>"$scratch/passwd"
chown -R "$owner:$group" "$scratch/mail" "$scratch/raw"

port=$(free_port)
mkdir -p "$scratch/run"
printf 'ssl_cert = <%s\nssl_key = <%s\n' "$scratch/ca/server.pem" "$scratch/ca/server.key" >"$scratch/tls.conf"
cat >"$scratch/dovecot.conf" <<EOF
base_dir = $scratch/run
state_dir = $scratch/run/state
instance_name = qgm-interop-$port
listen = 127.0.0.1
protocols = pop3
ssl = required
!include $scratch/tls.conf
auth_mechanisms = plain
auth_failure_delay = 0
log_path = $scratch/dovecot.log
default_internal_user = $owner
default_internal_group = $group
default_login_user = $owner
first_valid_uid = $uid
last_valid_uid = $uid
mail_location = maildir:~
passdb {
  driver = passwd-file
  args = $scratch/passwd
}
userdb {
  driver = passwd-file
  args = $scratch/passwd
}
service pop3-login {
  inet_listener pop3 {
    port = 0
  }
  inet_listener pop3s {
    port = $port
    ssl = yes
  }
  chroot =
}
service anvil {
  chroot =
}
protocol pop3 {
  # Each session's commands, one file per session and user.
  rawlog_dir = $scratch/raw/%u
}
EOF
dovecot -c "$scratch/dovecot.conf" -F >"$scratch/dovecot.out" 2>&1 &
dovecot=$!
keep_pid $dovecot
wait_port "$port" || fail "dovecot did not listen on port $port: $(cat "$scratch/dovecot.out" "$scratch/dovecot.log" 2>/dev/null)"

# check NAME PASSWORD [HOST]: runs the mail check, leaving its JSON in $out,
# standard error in $err and the exit status in $rc.
check() {
  rc=0
  out=$("$cli" mail --account "$1" --password "$2" --mail-host "${3:-localhost}:$port" \
    --ca-file "$scratch/ca/ca.pem" --json 2>"$scratch/err") || rc=$?
  err=$(cat "$scratch/err")
}
result() { jq -r '.mailboxes[0].result' <<<"$out"; }
hint() { jq -r '.hint' <<<"$out"; }
# commands NAME: the commands of NAME's one logged-in session, once dovecot
# has logged its end.
commands() {
  wait_for 10 grep -q "pop3($1).*Disconnected" "$scratch/dovecot.log" ||
    fail "$1: dovecot logged no end of the session"
  local files=("$scratch/raw/$1"/*.in)
  [ ${#files[@]} = 1 ] || fail "$1: ${#files[@]} sessions logged, not 1"
  cut -d' ' -f2- "${files[0]}" | tr -d '\r'
}
expect() {  # expect NAME RESULT HINT COMMANDS...
  local name=$1 want=$2 want_hint=$3
  shift 3
  check "$name" "$name-pw"
  [ "$rc" = 0 ] || fail "$name: exit $rc: $err"
  [ -z "$err" ] || fail "$name: a failure reported: $err"
  [ "$(result)" = "$want" ] || fail "$name: result $(result), not $want"
  [ "$(hint)" = "$want_hint" ] || fail "$name: hint '$(hint)', not '$want_hint'"
  local got
  got=$(commands "$name")
  [ "$got" = "$(printf '%s\n' "$@")" ] || fail "$name: the commands were
$got"
  local sent
  sent=$(tr '\n' ',' <<<"$got" | sed 's/,$//')
  [ $# -le 5 ] || sent="$1, $2 ... $(tail -1 <<<"$got") ($(($# - 1)) TOPs)"
  echo "ok: $name: $want; sent $sent"
}

expect alice "mail and voicemail" $'alice has mail.\nYou also have voicemail.' \
  STAT "TOP 3 0" "TOP 2 0"
expect bob mail "bob has mail." STAT "TOP 3 0" "TOP 2 0"
expect carol none "" STAT "TOP 2 0"
expect dave none "" STAT "TOP 2 0"
expect empty none "" STAT
expect mbox none "" STAT "TOP 1 0"

tops=()
for i in $(seq 500 -1 401); do tops+=("TOP $i 0"); done
expect many mail "many has mail." STAT "${tops[@]}"
tops=()
for i in $(seq 500 -1 420); do tops+=("TOP $i 0"); done
expect crowd "mail and voicemail" $'crowd has mail.\nYou also have voicemail.' STAT "${tops[@]}"

# Certificates: localhost's reached as 127.0.0.1, and one from a CA the
# client was not given. No login follows.
logins=$(grep -c "Login: user=" "$scratch/dovecot.log")
check alice alice-pw 127.0.0.1
[ "$rc" = 1 ] && [ "$(result)" = none ] || fail "localhost's certificate for 127.0.0.1: exit $rc, $out"
[[ "$err" == *"Certificate not trusted"*mismatch* ]] || fail "localhost's certificate for 127.0.0.1: '$err'"
echo "ok: localhost's certificate refused for 127.0.0.1: $err"
rc=0
err=$("$cli" mail --account alice --password alice-pw --mail-host "localhost:$port" --json 2>&1 >/dev/null) ||
  rc=$?
[ "$rc" = 1 ] || fail "untrusted CA: exit $rc"
[[ "$err" == *"Certificate not trusted"* ]] || fail "untrusted CA: '$err'"
echo "ok: a certificate from an unknown CA refused: $err"
[ "$(grep -c "Login: user=" "$scratch/dovecot.log")" = "$logins" ] ||
  fail "a login went through a refused certificate"

# The certificate dovecot serves to a client that names HOST (SNI) or to
# one that names none: its subject.
served() {
  local name=(-servername "$1")
  [ -n "$1" ] || name=(-noservername)
  openssl s_client -connect "127.0.0.1:$port" "${name[@]}" </dev/null 2>/dev/null |
    openssl x509 -noout -subject 2>/dev/null
}
serves() { [[ "$(served "$1")" == *"CN = $2" ]]; }
# reload_tls HOST SUBJECT: dovecot reloaded with $scratch/tls.conf, until
# it serves a certificate naming SUBJECT to a client naming HOST.
reload_tls() {
  kill -HUP "$dovecot"
  wait_for 10 serves "$1" "$2" ||
    fail "dovecot did not take its new certificates: $(served "$1")"
}
# One certificate for mail.example.org, and localhost's only to a client
# that asks for localhost by name: the client names its host.
make_cert other mail.example.org
printf 'ssl_cert = <%s\nssl_key = <%s\nlocal_name localhost {\n  ssl_cert = <%s\n  ssl_key = <%s\n}\n' \
  "$scratch/ca/other.pem" "$scratch/ca/other.key" "$scratch/ca/server.pem" "$scratch/ca/server.key" \
  >"$scratch/tls.conf"
reload_tls "" mail.example.org
serves localhost localhost || fail "for localhost: $(served localhost)"
check bob bob-pw
[ "$rc" = 0 ] && [ "$(result)" = mail ] && [ -z "$err" ] || fail "by name: exit $rc, $out, $err"
echo "ok: the client names its host (SNI): dovecot chose localhost's certificate"
# A wrong password: no mail, dovecot's reason, and a failed command (its
# only mailbox could not be checked). After the other logins: dovecot
# delays those that follow a failed one from the same address.
check bob wrong-pw
[ "$rc" = 1 ] || fail "wrong password: exit $rc"
[ "$(result)" = none ] || fail "wrong password: result $(result)"
[ "$err" = "qgm-cli: bob: -ERR [AUTH] Authentication failed." ] || fail "wrong password: '$err'"
grep -q "auth failed.*user=<bob>" "$scratch/dovecot.log" || fail "dovecot logged no failed login"
echo "ok: wrong password refused: $err"
# Only the certificate for mail.example.org: a host-name mismatch.
printf 'ssl_cert = <%s\nssl_key = <%s\n' "$scratch/ca/other.pem" "$scratch/ca/other.key" >"$scratch/tls.conf"
reload_tls localhost mail.example.org
logins=$(grep -c "Login: user=" "$scratch/dovecot.log")
check bob bob-pw
[ "$rc" = 1 ] && [ "$(result)" = none ] || fail "mail.example.org's certificate: exit $rc, $out"
[ "$err" = "qgm-cli: bob: Certificate not trusted: hostname mismatch" ] ||
  fail "mail.example.org's certificate: '$err'"
[ "$(grep -c "Login: user=" "$scratch/dovecot.log")" = "$logins" ] ||
  fail "a login went through another host's certificate"
echo "ok: a certificate for mail.example.org refused for localhost: $err"
echo "PASS"
