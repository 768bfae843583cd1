#!/usr/bin/env bash
# brimwell.exe on Qt's windows platform under wine, on a virtual display: started with a ROM on
# its command line, it shows its main window titled with that ROM's path, as on Linux, and ends
# with exit code 0 when the window is closed with Alt+F4.
# Usage: WindowStartsUnderWine.sh BRIMWELL_EXE ROM, with WINEPREFIX and WINEPATH set.
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a "$0" "$@"; fi
program=$1
rom=$(winepath -w "$2")
title="Brimwell - $rom"
# A running wine server keeps the desktop of the display it started on, perhaps none.
wineserver -k 2>/dev/null || true
wineserver -w

QT_QPA_PLATFORM=windows wine "$program" "$rom" &
started=$!
window=$(timeout 120 xdotool search --sync --onlyvisible --name "^Brimwell" | head -n 1) || {
  echo "brimwell.exe showed no window" >&2
  kill "$started" 2>/dev/null
  exit 1
}
# The caption shows the path once the ROM is open.
for _ in $(seq 100); do
  [ "$(xdotool getwindowname "$window")" = "$title" ] && break
  sleep 0.1
done
shown=$(xdotool getwindowname "$window")
xdotool windowfocus --sync "$window" key alt+F4
for _ in $(seq 600); do
  kill -0 "$started" 2>/dev/null || break
  sleep 0.1
done
if kill -0 "$started" 2>/dev/null; then
  echo "brimwell.exe did not end when its window was closed" >&2
  kill "$started"
  exit 1
fi
status=0
wait "$started" || status=$?
if [ "$shown" != "$title" ] || [ "$status" -ne 0 ]; then
  echo "brimwell.exe: window \"$shown\" (expected \"$title\"), exit code $status" >&2
  exit 1
fi
echo "brimwell.exe shows \"$shown\" and ends with 0 when closed."
