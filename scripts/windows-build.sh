#!/usr/bin/env bash
# Cross-compiles Lumaroth.exe with mingw-w64 into a folder and packs it, with its help
# page and a read-me, into Lumaroth-1.4.1.7-windows.zip there.
#   scripts/windows-build.sh [FOLDER [CMAKE OPTIONS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build-win}
shift || true
cmake -S . -B "$folder" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DLUMAROTH_BENCH=OFF "$@" >/dev/null
cmake --build "$folder" -j"$(nproc)"
package="$folder/Lumaroth-1.4.1.7-windows"
rm -rf "$package" "$package.zip"
mkdir -p "$package"
cp "$folder/Lumaroth.exe" ui/Lumaroth.html "$package/"
cp docs/windows-readme.txt "$package/readme.txt"
(cd "$folder" && zip -qr "$(basename "$package").zip" "$(basename "$package")")
echo "$package.zip"
