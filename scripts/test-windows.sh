#!/usr/bin/env bash
# Installs what is missing, builds Qt for Windows once per machine (scripts/build-qt-windows.sh,
# about an hour the first time), cross-builds all of Brimwell for 64-bit Windows with MinGW-w64
# into build-windows/, and runs it under wine: every test (the dialog tests on Qt's offscreen
# platform), brimwell-cli show and set on a generated ROM, and brimwell.exe's window on a
# virtual display.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-windows

# wine without a display, in a prefix of the build's own that the first run makes; the build
# runs the command-line tests once to list them.
export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true' EXIT
scripts/install-deps.sh --windows
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the wine prefix $WINEPREFIX"
  mkdir -p "$build"
  wineboot --init >/dev/null 2>&1
fi
qt=$(scripts/windows-build.sh | tail -n 1)

# The programs find the Qt DLLs where Qt was installed, and Qt its plugins beside them.
export WINEPATH="Z:$qt/bin"
echo "== Model-layer tests under wine (failures, and skips with their reasons) =="
wine "$build/tests/brimwell_core_tests.exe" --gtest_brief=1
echo "== Dialog tests under wine, offscreen =="
QT_QPA_PLATFORM=offscreen wine "$build/tests/brimwell_ui_tests.exe" --gtest_brief=1
echo "== Command-line tests and fuzz corpora under wine =="
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -E '^brimwell_(core|ui)_tests$'

echo "== brimwell-cli under wine: show and set on a generated ROM, named beyond ASCII =="
mkdir -p "$build/Ærø ROMs"
rom="$build/Ærø ROMs/ファイナル.nes"
tests/windows/MakeRom.sh "$rom"
cli=$build/src/cli/brimwell-cli.exe
wine "$cli" show "$rom" limits
wine "$cli" set "$rom" limits.HPlimit=9999 misc.ShipGold=500
shown=$(wine "$cli" show "$rom" limits misc | tr -d '\r')
echo "$shown"
# HP limit 9999 is stored as 10000 at 0x2D9B6, little-endian.
hp_bytes=$(od -An -tx1 -j $((0x2D9B6)) -N2 "$rom" | tr -d ' ')
if ! grep -Eq '^limits\.HPlimit +9999$' <<<"$shown" || ! grep -Eq '^misc\.ShipGold +500$' \
  <<<"$shown" || [ "$hp_bytes" != 1027 ]; then
  echo "brimwell-cli set did not reach the ROM (HP limit bytes: $hp_bytes)" >&2
  exit 1
fi
echo "brimwell-cli show and set work under wine."

echo "== brimwell.exe under wine, on a virtual display =="
tests/windows/WindowStartsUnderWine.sh "$build/src/brimwell.exe" "$rom"
