#!/usr/bin/env bash
# The Windows zip as a user gets it: unpacked into an empty folder, under a fresh wine prefix
# with nothing else installed, brimwell-cli.exe works and brimwell.exe shows its window.
# Usage: ZipRunsUnderWine.sh ZIP
set -euo pipefail
zip=$(realpath "$1")
scratch=$(mktemp -d)
export WINEPREFIX=$scratch/wine WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset WINEPATH
trap 'wineserver -k 2>/dev/null || true; rm -rf "$scratch"' EXIT
wineboot --init >/dev/null 2>&1
mkdir "$scratch/unpacked"
(cd "$scratch/unpacked" && cmake -E tar xf "$zip")
program_folder=$(dirname "$(find "$scratch/unpacked" -name brimwell.exe)")

rom=$scratch/game.nes
"$(dirname "$0")/MakeRom.sh" "$rom"
cli=$program_folder/brimwell-cli.exe
wine "$cli" set "$rom" misc.ShipGold=500
if ! wine "$cli" show "$rom" misc | tr -d '\r' | grep -Eq '^misc\.ShipGold +500$'; then
  echo "brimwell-cli.exe from the zip did not set the ROM" >&2
  exit 1
fi
"$(dirname "$0")/WindowStartsUnderWine.sh" "$program_folder/brimwell.exe" "$rom"
echo "The zip's programs run from an empty folder."
