#!/usr/bin/env bash
# Builds Lumaroth.exe and the core engine's tests with mingw-w64 and runs them under Wine,
# then drives the program's window under Xvfb. Screenshots stay in build-win/screenshots.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/windows-build.sh build-win >/dev/null

# Wine's ANSI code page is 932 only in a Japanese locale.
locale -a 2>/dev/null | grep -qi '^ja_JP\.utf8$' || localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
export LANG=ja_JP.UTF-8 WINEDEBUG=-all WINEPREFIX="$PWD/build-win/wine-prefix"
mkdir -p "$WINEPREFIX"
# A running wineserver and a booted prefix first, so that no Wine process of the tests
# starts them and holds ctest's output open.
wineserver -p
trap 'wineserver -k || true' EXIT
wine wineboot -i >/dev/null 2>&1
(cd build-win && ctest --output-on-failure)
rm -rf build-win/screenshots
tests/wine_window.sh build-win/Lumaroth.exe samples/lumaroth-demo.mid build-win/screenshots
