#!/usr/bin/env bash
# Installs what is missing and makes both release files into dist/: the Debian package
# lumaroth_VERSION_amd64.deb and the Windows zip Lumaroth-VERSION-windows.zip, with
# FluidSynth's source beside it (fluidsynth-2.6.0-source.tar.gz).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh package
rm -rf dist
scripts/build.sh release
cpack --preset release >/dev/null
# Debian's own checker: no error (a changelog, the copyright, stripped programs...).
lintian --fail-on error dist/*.deb
scripts/windows-build.sh windows-release >/dev/null
rm -rf dist/_CPack_Packages
# FluidSynth is linked into the Windows programs: its complete source, with the build
# files it is built with, goes beside the zip.
source=$(sed -n 's/^LUMAROTH_FLUIDSYNTH_SOURCE:PATH=//p' build-win-release/CMakeCache.txt)
gcem=$(sed -n 's/^LUMAROTH_GCEM_INCLUDE:PATH=//p' build-win-release/CMakeCache.txt)
build_files=$(mktemp -d)
trap 'rm -rf "$build_files"' EXIT
mkdir -p "$build_files/lumaroth-build/fluidsynth"
cp cmake/fluidsynth.cmake cmake/mingw-w64-x86_64.cmake cmake/fluidsynth/README.txt "$build_files/lumaroth-build/"
cp cmake/fluidsynth/gcem_fabs.h "$build_files/lumaroth-build/fluidsynth/"
tar -czf dist/fluidsynth-2.6.0-source.tar.gz --owner=0 --group=0 \
  -C "$(dirname "$source")" "$(basename "$source")" \
  -C "$(dirname "$(dirname "$gcem")")" gcem \
  -C "$build_files" lumaroth-build
ls dist/*.deb dist/*.zip dist/*.tar.gz
