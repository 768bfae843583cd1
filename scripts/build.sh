#!/usr/bin/env bash
# Configures and builds Brimwell into the given folder (default: build/), passing on any further
# CMake options.
set -euo pipefail
cd "$(dirname "$0")/.."
build_dir=${1:-build}
shift || true
cmake -S . -B "$build_dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
cmake --build "$build_dir"
