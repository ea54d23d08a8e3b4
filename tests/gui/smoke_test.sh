#!/usr/bin/env bash
# The tray program as users see it: qgm --demo under a virtual X display with
# a tray host, until the first update has shown its figures. Leaves the
# screenshots (screen and window) beside the test as artefacts.
set -euo pipefail
qgm=$1
out=${2:-$PWD/gui-smoke}
mkdir -p "$(dirname "$out")"
rm -f "$out"-screen.png "$out"-window.png

here=$(cd "$(dirname "$0")" && pwd)
result=$(timeout 120 xvfb-run -a -s "-screen 0 1024x768x24" \
         "$here/with_tray.sh" "$qgm" --demo --snapshot "$out" 8 2>/dev/null)
echo "$result"
grep -q "^tray visible: 1" <<<"$result"
grep -q "^tray hint: Amount Left: [0-9,]* MB ([0-9]*%)" <<<"$result"
test -s "$out"-screen.png
test -s "$out"-window.png
echo "screenshots: $out-screen.png $out-window.png"
