#!/usr/bin/env bash
# Installs what is missing, builds Qt for Windows once per machine (scripts/build-qt-windows.sh)
# and cross-builds Brimwell for 64-bit Windows with MinGW-w64 into build-windows/: the targets
# named, or everything. Prints the Qt folder as its last line.
# Usage: windows-build.sh [TARGET]...
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-windows

scripts/install-deps.sh --windows >&2
qt=$(scripts/build-qt-windows.sh | tail -n 1)
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DBRIMWELL_WINDOWS_QT="$qt" \
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="/usr/lib/$(gcc -dumpmachine)/cmake" >&2
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$build" "${targets[@]}" >&2
echo "$qt"
