#!/usr/bin/env bash
# Installs what is missing and makes both release files into dist/: the Debian package
# lumaroth_VERSION_amd64.deb and the Windows zip Lumaroth-VERSION-windows.zip.
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
ls dist/*.deb dist/*.zip
