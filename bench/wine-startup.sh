#!/usr/bin/env bash
# Start-up of brimwell.exe under wine on a virtual display, from its start to its window on the
# screen, against the bare Qt window (bench/BareWindow.cpp) built the same way for Windows; runs
# alternate between the two, and each figure is the median of its runs. Brimwell starts as a
# user starts it, with a ROM on its command line that it opens before its window shows.
# Usage: wine-startup.sh BUILD_DIR QT_DIR [RUNS]   (default 11 runs)
set -euo pipefail
if [ -z "${DISPLAY:-}" ]; then exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"; fi
build=$(realpath "$1")
export WINEPREFIX=$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=" WINEPATH="Z:$2/bin"
runs=${3:-11}
rom=$(mktemp --suffix=.nes)
trap 'rm -f "$rom"; wineserver -k 2>/dev/null || true' EXIT
"$(dirname "$0")/../tests/windows/MakeRom.sh" "$rom"
# One wine server for every run, as on a desktop where wine already runs, with its desktop on
# this display.
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p

# Milliseconds from the start of the program to its window on the screen; then closes it.
time_to_window() {
  local title=$1 started window
  shift
  started=$(date +%s%N)
  wine "$@" &
  until window=$(xdotool search --onlyvisible --name "$title" 2>/dev/null); do sleep 0.005; done
  echo $((($(date +%s%N) - started) / 1000000))
  xdotool windowfocus --sync "$window" key alt+F4
  wait
}

median() { sort -n | awk '{ value[NR] = $1 } END { print value[int((NR + 1) / 2)] }'; }

brimwell=() bare=()
for _ in $(seq "$runs"); do
  brimwell+=("$(time_to_window '^Brimwell' "$build/src/brimwell.exe" "$(winepath -w "$rom")")")
  bare+=("$(time_to_window '^Bare window$' "$build/brimwell_bare_window.exe")")
done
brimwell_ms=$(printf '%s\n' "${brimwell[@]}" | median)
bare_ms=$(printf '%s\n' "${bare[@]}" | median)
printf '%-45s %6s ms\n' "start-up under wine: Brimwell, to its window" "$brimwell_ms" \
  "start-up under wine: bare Qt window, same way" "$bare_ms"
awk -v a="$brimwell_ms" -v b="$bare_ms" 'BEGIN { printf "ratio %.2fx (target: at most 1.10x)\n", a / b }'
