#!/usr/bin/env bash
# qgm-update tells where the downloaded release is and runs nothing; a file
# that is not there is said so; wrong arguments are refused.
#   update_test.sh QGM_UPDATE
set -euo pipefail
updater=$1
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
printf '#!/bin/sh\ntouch "%s/ran"\n' "$dir" > "$dir/qgm9901.exe"
chmod +x "$dir/qgm9901.exe"
export QT_QPA_PLATFORM=offscreen QGM_UPDATE_SNAPSHOT="$dir/shot.png"
out=$("$updater" /opt/qgm/qgm "$dir/qgm9901.exe" 2>/dev/null)
grep -qF "saved as" <<<"$out" || { echo "no saved-as line: $out"; exit 1; }
grep -qF "$dir/qgm9901.exe" <<<"$out" || { echo "the path is not shown: $out"; exit 1; }
[ -s "$dir/shot.png" ] || { echo "no picture of the window"; exit 1; }
[ ! -e "$dir/ran" ] || { echo "the downloaded file was run"; exit 1; }
if "$updater" /opt/qgm/qgm "$dir/missing.exe" >"$dir/missing.txt" 2>/dev/null; then
  echo "a missing file was reported as saved"; exit 1
fi
grep -qF "is not there" "$dir/missing.txt" || { echo "no word on the missing file"; exit 1; }
set +e
"$updater" only-one-argument >/dev/null 2>&1
[ $? -eq 2 ] || { echo "one argument was accepted"; exit 1; }
echo "qgm-update: ok"
