#!/usr/bin/env bash
# Installs what is missing, builds Brimwell and runs every test. The dialog tests draw on Qt's
# offscreen platform, so no display is needed.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh build
ctest --test-dir build --output-on-failure -j "$(nproc)"
