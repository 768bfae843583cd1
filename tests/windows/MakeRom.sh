#!/usr/bin/env bash
# Writes the smallest image the programs open, an iNES header and zeros (262160 bytes), to PATH.
# Usage: MakeRom.sh PATH
set -euo pipefail
{ printf 'NES\x1a\x10\x00\x12\x00'; head -c $((262160 - 8)) /dev/zero; } >"$1"
