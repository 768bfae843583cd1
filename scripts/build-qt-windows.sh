#!/usr/bin/env bash
# Builds Qt for 64-bit Windows from Debian's source of the Qt that this machine has installed,
# once per machine, and prints the folder it is installed in (the last line of its output).
#
# Only what Brimwell and its tests use is built: Core, Gui, Widgets and Test, the windows and
# offscreen platforms, the windows style, with the third-party libraries that the source
# bundles. The host tools (moc, rcc, uic) are this machine's own, of the same version. The
# result lies outside the clone, in ${XDG_CACHE_HOME:-$HOME/.cache}/brimwell/, named by the Qt
# version and the compiler, and is reused while it was built with the same options: a second
# run costs seconds. MinGW's runtime is linked into every Qt DLL, so that the DLLs need no
# compiler DLLs beside them.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

"$root/scripts/install-deps.sh" --windows >&2

qt_version=$(dpkg-query -W -f='${Version}' qt6-base-dev)
upstream_version=${qt_version%%+*}
compiler=$(x86_64-w64-mingw32-g++-posix -dumpversion)
cache=${XDG_CACHE_HOME:-$HOME/.cache}/brimwell
prefix=$cache/qt-$qt_version-mingw-w64-x86_64-gcc-$compiler
host_cmake_dir=/usr/lib/$(gcc -dumpmachine)/cmake

options=(
  -G Ninja -DCMAKE_BUILD_TYPE=Release -DBUILD_SHARED_LIBS=ON
  -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake"
  -DQT_HOST_PATH=/usr -DQT_HOST_PATH_CMAKE_DIR="$host_cmake_dir"
  -DQT_BUILD_EXAMPLES=OFF -DQT_BUILD_TESTS=OFF
  # The compiler's runtime goes into each DLL and plugin, as into each program.
  -DCMAKE_SHARED_LINKER_FLAGS=-static -DCMAKE_MODULE_LINKER_FLAGS=-static
  # The bundled libraries, built for Windows with the rest.
  -DFEATURE_system_zlib=OFF -DFEATURE_system_pcre2=OFF -DFEATURE_system_harfbuzz=OFF
  -DFEATURE_system_freetype=OFF -DFEATURE_system_png=OFF -DFEATURE_system_doubleconversion=OFF
  -DFEATURE_system_jpeg=OFF -DFEATURE_jpeg=OFF
  # Modules Brimwell does not use.
  -DFEATURE_sql=OFF -DFEATURE_network=OFF -DFEATURE_dbus=OFF -DFEATURE_printsupport=OFF
  -DFEATURE_concurrent=OFF -DFEATURE_xml=OFF
  # Without OpenGL; dynamicgl would still reach for it. Debian's tarball has no wintab.h, which
  # tablet events need. Direct2D is a second platform that Brimwell does not load; the
  # DirectWrite 3 font database, which the windows platform only uses when asked to, comes
  # with it.
  -DFEATURE_opengl=OFF -DFEATURE_dynamicgl=OFF -DFEATURE_tabletevent=OFF -DFEATURE_direct2d=OFF
  -DFEATURE_directwrite3=OFF
)
# What the cached build is checked against: the options, wherever the clone lies.
options_text=$(printf '%s\n' "${options[@]}" | sed "s|$root/|SOURCE/|")

if [ -f "$prefix/brimwell-build-options" ] &&
  [ "$(cat "$prefix/brimwell-build-options")" = "$options_text" ]; then
  echo "Qt $upstream_version for Windows is built already: $prefix" >&2
  echo "$prefix"
  exit 0
fi

work=$cache/qt-$qt_version-mingw-w64-build
rm -rf "$work" "$prefix"
mkdir -p "$work/apt/lists/partial" "$work/apt/parts"
started=$(date +%s)

# Debian's source, through a sources list of our own that names the machine's Debian archive as
# deb-src: the machine's apt configuration is left as it is, and apt checks the signature.
codename=$(. /etc/os-release && echo "$VERSION_CODENAME")
archive=$(apt-get indextargets --format '$(REPO_URI) $(RELEASE)' |
  awk -v suite="$codename" '$2 == suite { print $1; exit }')
if [ -z "$archive" ]; then
  echo "No Debian archive for $codename in the apt configuration: run apt-get update" >&2
  exit 1
fi
keyring=/usr/share/keyrings/debian-archive-keyring.gpg
echo "deb-src [signed-by=$keyring] $archive $codename main" >"$work/apt/sources.list"
# As root, apt would hand the download to its own user, who cannot write in the cache folder.
apt_options=(-o APT::Sandbox::User=root -o Dir::Etc::SourceList="$work/apt/sources.list"
  -o Dir::Etc::SourceParts="$work/apt/parts" -o Dir::State::Lists="$work/apt/lists")
echo "Fetching Debian's source of qt6-base $qt_version" >&2
apt-get "${apt_options[@]}" update -qq >&2
(cd "$work" && { apt-get "${apt_options[@]}" source -qq "qt6-base=$qt_version" >&2 ||
  apt-get "${apt_options[@]}" source -qq qt6-base >&2; })
source_dir=$(find "$work" -maxdepth 1 -type d -name "qt6-base-$upstream_version*" | head -n 1)
if [ -z "$source_dir" ]; then
  echo "Debian's archive has no source of qt6-base $upstream_version" >&2
  exit 1
fi

echo "Configuring Qt $upstream_version for Windows" >&2
cmake -S "$source_dir" -B "$work/build" -DCMAKE_INSTALL_PREFIX="$prefix" "${options[@]}" \
  >"$work/configure.log" 2>&1 || {
  tail -n 40 "$work/configure.log" >&2
  exit 1
}

# Ninja's own progress, one line in twenty, with the whole log kept for a failure.
show_progress() {
  local line step
  while IFS= read -r line; do
    [[ $line =~ ^\[([0-9]+)/([0-9]+)\] ]] || continue
    step=${BASH_REMATCH[1]}
    if ((step % 20 == 0 || step == BASH_REMATCH[2])); then echo "[$step/${BASH_REMATCH[2]}]"; fi
  done
}
echo "Building Qt $upstream_version for Windows (about 1000 steps)" >&2
if ! cmake --build "$work/build" 2>&1 | tee "$work/build.log" | show_progress >&2; then
  grep -E -B 2 -A 12 'FAILED:|error:' "$work/build.log" | head -n 80 >&2
  exit 1
fi
cmake --install "$work/build" >"$work/install.log" 2>&1 || {
  tail -n 40 "$work/install.log" >&2
  exit 1
}
echo "$options_text" >"$prefix/brimwell-build-options"
rm -rf "$work"
echo "Qt $upstream_version for Windows built in $((($(date +%s) - started) / 60)) minutes: $prefix" >&2
echo "$prefix"
