#!/usr/bin/env bash
# Installs what is missing, builds Brimwell and starts it. Without a display it runs under a
# virtual X server, where the window exists but nobody can see it.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --with-display
scripts/build.sh build
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: starting Brimwell under Xvfb, invisibly. Press Ctrl+C to end it."
  exec xvfb-run -a build/src/brimwell
fi
exec build/src/brimwell
