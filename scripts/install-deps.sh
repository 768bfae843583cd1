#!/usr/bin/env bash
# Installs the Debian packages that Brimwell needs to build, test and run; asks apt only for
# what is missing. Works as root or through sudo. Usage: install-deps.sh [--with-display]
# [--windows] [PACKAGE]...: the display packages for scripts/run.sh, the cross build of
# scripts/test-windows.sh, and any further packages by name.
set -euo pipefail

# desktop-file-utils and appstream validate the installed desktop entry and metainfo;
# libbenchmark-dev builds the benchmarks; zlib1g-dev gives the CRC-32 that BPS patches carry;
# libcli11-dev parses brimwell-cli's command line and nlohmann-json3-dev reads and writes its
# JSON (both header-only).
packages=(cmake ninja-build g++ qt6-base-dev libgtest-dev libbenchmark-dev desktop-file-utils
  appstream zlib1g-dev libcli11-dev nlohmann-json3-dev)
for argument in "$@"; do
  case "$argument" in
    --with-display) packages+=(xvfb xauth) ;;
    # MinGW-w64 cross-compiles for Windows, with zlib built for it; wine runs the result here;
    # googletest holds the GoogleTest sources that the cross build compiles for Windows;
    # dpkg-dev unpacks Debian's source of Qt, which is built for Windows once per machine;
    # Xvfb gives brimwell.exe a display, where xdotool finds and closes its window.
    --windows) packages+=(g++-mingw-w64-x86-64-posix libz-mingw-w64-dev wine wine64 googletest
      dpkg-dev xvfb xauth xdotool) ;;
    *) packages+=("$argument") ;;
  esac
done

missing=()
for package in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" ||
    missing+=("$package")
done
[ ${#missing[@]} -eq 0 ] && exit 0

if [ "$(id -u)" -eq 0 ]; then sudo=(); else sudo=(sudo); fi
echo "Installing: ${missing[*]}"
"${sudo[@]}" apt-get update -qq
DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends \
  "${missing[@]}"
