#!/usr/bin/env bash
# Server text reaches a terminal without its control codes: a status line
# and feed titles that set the terminal's title, clear the screen and send
# C1 controls (raw and in UTF-8) come out of qgm-cli's text output and
# messages as plain text; its JSON keeps them exact, escaped.
#   terminal_text_test.sh QGM_CLI
set -euo pipefail
cli=$1
work=$(mktemp -d)
trap 'kill "${server:-0}" 2>/dev/null || true; rm -rf "$work"' EXIT

python3 - "$work/port" <<'PY' &
import socket, sys, threading
hostile = b"\x1b]0;owned\x07\x1b[2J\xc2\x9b31m\x9d8;;x\x9c"
feed = (b'<?xml version="1.0" encoding="windows-1252"?><rss version="2.0"><channel>'
        b"<title>Status " + hostile + b"Feed</title><item><title>Outage " + hostile +
        b"North</title><link>http://127.0.0.1/a</link><description>d</description></item>"
        b"</channel></rss>")
s = socket.socket()
s.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
s.bind(("127.0.0.1", 0))
s.listen(16)
open(sys.argv[1] + ".tmp", "w").write(str(s.getsockname()[1]))
import os
os.rename(sys.argv[1] + ".tmp", sys.argv[1])
def serve(c):
    request = b""
    while b"\r\n\r\n" not in request:
        chunk = c.recv(4096)
        if not chunk:
            break
        request += chunk
    path = request.split(b" ")[1] if b" " in request else b"/"
    if path.startswith(b"/feed"):
        c.sendall(b"HTTP/1.1 200 OK\r\nContent-Type: application/rss+xml\r\nContent-Length: %d\r\n"
                  b"Connection: close\r\n\r\n" % len(feed) + feed)
    else:
        body = b"busy " + hostile
        c.sendall(b"HTTP/1.1 503 " + hostile + b" Busy\r\nContent-Length: %d\r\n"
                  b"Connection: close\r\n\r\n" % len(body) + body)
    c.close()
while True:
    c, _ = s.accept()
    threading.Thread(target=serve, args=(c,), daemon=True).start()
PY
server=$!
for _ in $(seq 50); do [ -s "$work/port" ] && break; sleep 0.1; done
base=http://127.0.0.1:$(cat "$work/port")
# Settings and data of its own.
export XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data

# No ESC, BEL, raw C1 byte or C1 in UTF-8 (0xC2 0x80..0x9F) in what is shown.
clean() {
  if LC_ALL=C grep -q -P '[\x00-\x08\x0b-\x1f\x7f]|\xc2[\x80-\x9f]|(?<![\xc2-\xf4])[\x80-\x9f]' "$1"; then
    echo "FAIL: $2 passed control codes on:"
    od -c "$1" | head -20
    exit 1
  fi
}
for run in "version-check --home-site $base/busy/" "advisories --feed-url $base/busy.rss" \
           "radio --api-base $base/api/ --config /dev/null"; do
  # shellcheck disable=SC2086
  if "$cli" $run >"$work/out" 2>"$work/err"; then
    echo "FAIL: qgm-cli $run succeeded against a 503"; exit 1
  fi
  clean "$work/err" "qgm-cli $run (its message)"
  grep -q "503" "$work/err" || { echo "FAIL: qgm-cli $run does not say 503:"; cat "$work/err"; exit 1; }
done
"$cli" advisories --feed-url "$base/feed.rss" >"$work/out"
clean "$work/out" "qgm-cli advisories (its text)"
grep -q "Outage .*North" "$work/out" || { echo "FAIL: the title is lost:"; cat "$work/out"; exit 1; }
"$cli" advisories --feed-url "$base/feed.rss" --json >"$work/json"
grep -q 'Outage \\u001b\]0;owned\\u0007' "$work/json" ||
  { echo "FAIL: the JSON is not exact:"; cat "$work/json"; exit 1; }
echo "terminal text: status lines and titles shown without their control codes, JSON exact"
