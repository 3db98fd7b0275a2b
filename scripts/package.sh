#!/usr/bin/env bash
# Installs what is missing and makes both release files into dist/: the Debian package
# lumaroth_VERSION_amd64.deb and the Windows zip Lumaroth-VERSION-windows.zip.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package
scripts/build.sh build-release -DCMAKE_BUILD_TYPE=Release -DLUMAROTH_TESTS=OFF -DLUMAROTH_BENCH=OFF
rm -f build-release/lumaroth_*.deb
(cd build-release && cpack -B . >/dev/null)
scripts/windows-build.sh build-win-release -DCMAKE_BUILD_TYPE=Release -DLUMAROTH_TESTS=OFF >/dev/null
rm -rf dist
mkdir -p dist
cp build-release/lumaroth_*_amd64.deb build-win-release/Lumaroth-*-windows.zip dist/
ls dist/*
