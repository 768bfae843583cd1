#!/usr/bin/env bash
# Installs what is missing, cross-builds the model layer, its tests and brimwell-cli for 64-bit
# Windows with MinGW-w64 into build-windows/, and runs them under wine: the tests, then
# brimwell-cli show and set on a generated ROM. The desktop program is not built: there is no
# Qt for MinGW here.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-windows

scripts/install-deps.sh --windows
# wine without a display, in a prefix of the build's own that the first run makes; the build
# runs the command-line tests once to list them.
export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true' EXIT
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the wine prefix $WINEPREFIX"
  mkdir -p "$build"
  wineboot --init >/dev/null 2>&1
fi

cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DBRIMWELL_BUILD_UI=OFF
cmake --build "$build"

echo "== Model-layer tests under wine (failures, and skips with their reasons) =="
wine "$build/tests/brimwell_core_tests.exe" --gtest_brief=1
echo "== Command-line tests and fuzz corpora under wine =="
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -E '^brimwell_core_tests$'

echo "== brimwell-cli under wine: show and set on a generated ROM =="
rom=$build/generated.nes
{ printf 'NES\x1a\x10\x00\x12\x00'; head -c $((262160 - 8)) /dev/zero; } >"$rom"
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
