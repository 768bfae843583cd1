#!/usr/bin/env bash
# Builds Brimwell for Windows (scripts/windows-build.sh) and writes
# dist/brimwell-VERSION-windows-x86_64.zip: brimwell.exe and brimwell-cli.exe, the Qt DLLs and
# plugins they load, stripped, the README and the licence texts. MinGW's runtime is linked into
# every program and DLL, so nothing else needs to be installed.
set -euo pipefail
cd "$(dirname "$0")/.."
build=build-windows
strip=x86_64-w64-mingw32-strip
objdump=x86_64-w64-mingw32-objdump

qt=$(scripts/windows-build.sh brimwell brimwell-cli | tail -n 1)
version=$(sed -n 's/^project(Brimwell VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
name=brimwell-$version-windows-x86_64
stage=$build/package/$name
rm -rf "$build/package"
mkdir -p "$stage/platforms" "$stage/styles" "$stage/licenses" dist

cp "$build/src/brimwell.exe" "$build/src/cli/brimwell-cli.exe" "$stage/"
# The platform plugin that draws the windows and the style that looks like Windows.
cp "$qt/plugins/platforms/qwindows.dll" "$stage/platforms/"
cp "$qt/plugins/styles/qwindowsvistastyle.dll" "$stage/styles/"

# Every Qt DLL that a program or plugin imports, and those that these import in turn.
copy_imported_qt_dlls() {
  local dll
  for dll in $("$objdump" -p "$1" | sed -n 's/^\s*DLL Name: \(Qt6.*\.dll\)$/\1/p'); do
    if [ ! -f "$stage/$dll" ]; then
      cp "$qt/bin/$dll" "$stage/"
      copy_imported_qt_dlls "$stage/$dll"
    fi
  done
}
for binary in "$stage"/*.exe "$stage"/*/*.dll; do copy_imported_qt_dlls "$binary"; done
find "$stage" -name '*.exe' -o -name '*.dll' | xargs "$strip" --strip-unneeded

cp README.md "$stage/README.md"
cp LICENSE "$stage/LICENSE.txt"
# Qt's copyright file names the licences of the libraries it bundles; winpthreads is MinGW's
# part of the runtime that carries a notice of its own.
cp /usr/share/common-licenses/LGPL-3 "$stage/licenses/Qt-LGPL-3.0.txt"
cp /usr/share/doc/libqt6core6/copyright "$stage/licenses/Qt-copyright.txt"
cp /usr/share/doc/libz-mingw-w64-dev/copyright "$stage/licenses/zlib-copyright.txt"
cp /usr/share/doc/libcli11-dev/copyright "$stage/licenses/CLI11-copyright.txt"
cp /usr/share/doc/nlohmann-json3-dev/copyright "$stage/licenses/nlohmann-json-copyright.txt"
cp /usr/share/doc/mingw-w64-x86-64-dev/copyright "$stage/licenses/mingw-w64-copyright.txt"

zip=$PWD/dist/$name.zip
rm -f "$zip"
(cd "$build/package" && cmake -E tar cf "$zip" --format=zip "$name")
echo "$zip: $(du -k "$zip" | cut -f1) KiB"
