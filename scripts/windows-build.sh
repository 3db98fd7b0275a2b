#!/usr/bin/env bash
# Cross-compiles Lumaroth.exe with mingw-w64 into a folder and packs it, with its help
# page and a read-me, into Lumaroth-VERSION-windows.zip there.
#   scripts/windows-build.sh [FOLDER [CMAKE OPTIONS...]]
set -euo pipefail
cd "$(dirname "$0")/.."
folder=${1:-build-win}
shift || true
cmake -S . -B "$folder" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DLUMAROTH_BENCH=OFF "$@" >/dev/null
cmake --build "$folder" -j"$(nproc)"
rm -f "$folder"/Lumaroth-*-windows.zip
(cd "$folder" && cpack -B . >/dev/null)
ls "$folder"/Lumaroth-*-windows.zip
