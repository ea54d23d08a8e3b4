#!/usr/bin/env bash
# The program as a screen reader user meets it: the demo under a virtual X
# display, on a private session bus with the accessibility bus
# (at-spi-bus-launcher), its tree walked through AT-SPI (a11y_tree.py) over
# every tab and every Setup page:
#  - no node that takes the focus has a role that says nothing (filler,
#    unknown, panel) or an empty name;
#  - the advisories are list items named by their titles;
#  - the Broadband bars are progress bars with their percentages;
#  - a graph offers a table with a row for each of its bars;
#  - pressing a link through its accessible action opens its address, as a
#    click does.
#   accessibility_test.sh QGM
set -euo pipefail
if [ "${DESKTOP_INNER:-}" != 1 ]; then
  DESKTOP_INNER=1 exec timeout 240 dbus-run-session --config-file "$(dirname "$0")/session.conf" -- \
    xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi
qgm=$1
here=$(cd "$(dirname "$0")" && pwd)
py=/usr/bin/python3  # Debian's, which has pyatspi
source "$here/../support/wait.sh"
home=$(mktemp -d)
trap 'kill $(jobs -p) 2>/dev/null; rm -rf "$home"' EXIT
export XDG_RUNTIME_DIR=$home/runtime
mkdir -p -m 700 "$XDG_RUNTIME_DIR"
fail() {
  echo "FAIL: $*"
  echo "-- the walk:"; cat "$home/walk.json" 2>/dev/null || true
  echo "-- qgm's errors (last 30 lines):"; tail -n 30 "$home/qgm.err" 2>/dev/null || true
  exit 1
}
# What the program opens goes to a recording stand-in for xdg-open.
mkdir -p "$home/bin"
printf '#!/bin/sh\nprintf "%%s\\n" "$*" >>"%s/opened"\n' "$home" >"$home/bin/xdg-open"
chmod +x "$home/bin/xdg-open"
export PATH=$home/bin:$PATH

/usr/libexec/at-spi-bus-launcher --launch-immediately >"$home/launcher.log" 2>&1 &
wait_for 20 dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus \
  org.a11y.Bus.GetAddress >/dev/null 2>&1 || fail "the accessibility bus did not start"
QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$qgm" --demo >"$home/qgm.out" 2>"$home/qgm.err" &
wait_for 60 "$py" "$here/a11y_tree.py" dump >"$home/dump.txt" 2>/dev/null || fail "the program never showed on the accessibility bus"
# The first update's figures (the demo's start delay is three seconds).
wait_for 60 grep -q "label '34,740 MB'\|label '[0-9,]* MB'" "$home/dump.txt" || true
sleep 5
"$py" "$here/a11y_tree.py" walk >"$home/walk.json" || fail "the walk failed"
check() {  # check WHAT PYTHON-CONDITION-ON-w
  "$py" -c 'import json, sys; w = json.load(open(sys.argv[1])); sys.exit(0 if eval(sys.argv[2]) else 1)' \
    "$home/walk.json" "$2" || fail "$1"
}
check "not every tab and Setup page was shown" 'len(w["pages"]) >= 13'
check "focusable nodes with no name or a role that says nothing" 'not w["focusable_nameless_or_generic"]'
for title in "Planned maintenance: Sydney exchange" "Resolved: email delays" "Dial-up numbers changing in Perth"; do
  check "the advisory \"$title\" is not a list item" "any(n == '$title' for n in w['list_items'])"
done
# The demo's allowance is 200,000 MB; what is left, and the days left,
# depend on the day the test runs: the bar's value is its figure's share.
bars='{b["name"]: b for b in w["progress_bars"]}'
check "the Broadband bars are not progress bars with their values and figures" \
  "(lambda b, mb: abs(b['Metered usage remaining']['value'] - mb(b) / 2000) < 1
     and b['Metered usage remaining']['description'].endswith(' MB')
     and 0 <= b['Days in month remaining']['value'] <= 100
     and b['Days in month remaining']['description'].find(' day') > 0
     and all(x['focusable'] for x in b.values()))($bars,
     lambda b: float(b['Metered usage remaining']['description'][:-3].replace(',', '')))"
check "no graph with a table of its 31 days" 'any(t["rows"] == 31 for t in w["tables"])'
"$py" "$here/a11y_tree.py" press "Webmail" >/dev/null || true
wait_for 10 test -s "$home/opened" || fail "pressing a link through its action opened nothing"
"$py" - "$home/walk.json" <<'PY'
import json, sys
w = json.load(open(sys.argv[1]))
print(f"{len(w['pages'])} pages, {w['nodes']} nodes, {w['focusable']} focusable, "
      f"{w['nameless']} without a name, {len(w['list_items'])} list items, "
      f"{len(w['progress_bars'])} progress bars, {len(w['tables'])} tables, {len(w['links'])} links")
PY
echo "opened through the accessible action: $(cat "$home/opened")"
