#!/usr/bin/env bash
# Installs what is missing, cross-builds the model layer and its tests for 64-bit Windows with
# MinGW-w64 into build-windows/, and runs them under wine. The desktop program is not built:
# there is no Qt for MinGW here.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-windows

scripts/install-deps.sh --windows
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DBRIMWELL_BUILD_UI=OFF
cmake --build "$build"

# wine without a display, in a prefix of the build's own that the first run makes.
export WINEPREFIX=$PWD/$build/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  echo "Making the wine prefix $WINEPREFIX"
  wineboot --init >/dev/null 2>&1
fi
trap 'wineserver -k 2>/dev/null || true' EXIT

echo "== Model-layer tests under wine (failures, and skips with their reasons) =="
wine "$build/tests/brimwell_core_tests.exe" --gtest_brief=1
echo "== Fuzz corpora replayed under wine =="
ctest --test-dir "$build" --output-on-failure -j "$(nproc)" -E '^brimwell_core_tests$'
