#!/usr/bin/env bash
# Runs a command with a tray host (trayer) on the current X display.
trayer --edge bottom --align right --widthtype pixel --width 160 --heighttype pixel \
  --height 32 --transparent false --tint 0x446688 >/dev/null 2>&1 &
tray=$!
sleep 1
"$@"
status=$?
kill "$tray" 2>/dev/null
exit $status
