#!/usr/bin/env bash
# Cross-compiles Lumaroth.exe with mingw-w64 (preset windows or windows-release) and packs
# it, with its help page and a read-me, into Lumaroth-VERSION-windows.zip: in build-win
# for the preset windows, in dist/ for windows-release.
#   scripts/windows-build.sh [PRESET]
set -euo pipefail
cd "$(dirname "$0")/.."
preset=${1:-windows}
scripts/build.sh "$preset"
cpack --preset "$preset" | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p'
